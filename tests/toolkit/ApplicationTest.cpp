#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.OnMinimize = [this] { ++minimized; };
    app.OnRestore = [this] { ++restored; };
    app.OnException = [this](const std::exception& error) { reported.push_back(error.what()); };
  }
  void TearDown() override {
    app.Restore();
    app.OnMinimize = nullptr;
    app.OnRestore = nullptr;
    app.OnException = nullptr;
  }

  Application& app = App();
  TestForm form;
  int minimized = 0;
  int restored = 0;
  std::vector<std::string> reported;
};

TEST_F(ApplicationTest, MinimiseAndRestoreNotifyOnlyOnRealChangesAndTakeTheFormAlong) {
  ShowWindow(form.Handle(), SW_SHOWNA);
  app.Restore();
  EXPECT_EQ(restored, 0);

  app.Minimize();
  app.Minimize();
  EXPECT_EQ(minimized, 1);
  EXPECT_TRUE(IsIconic(app.Handle()));
  EXPECT_TRUE(IsIconic(app.Handle()));
  EXPECT_FALSE(IsWindowVisible(form.Handle()));

  app.Restore();
  app.Restore();
  EXPECT_EQ(restored, 1);
  EXPECT_FALSE(IsIconic(app.Handle()));
  EXPECT_FALSE(IsIconic(app.Handle()));
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
}

TEST_F(ApplicationTest, RestoreStillActsAfterTheMinimiseHandlerHidTheTaskbarWindow) {
  app.OnMinimize = [this] {
    ++minimized;
    ShowWindow(app.Handle(), SW_HIDE);
  };
  app.Minimize();
  EXPECT_FALSE(IsWindowVisible(app.Handle()));
  EXPECT_TRUE(IsIconic(app.Handle()));

  app.Restore();
  EXPECT_EQ(restored, 1);
  EXPECT_TRUE(IsWindowVisible(app.Handle()));
  EXPECT_FALSE(IsIconic(app.Handle()));
}

TEST_F(ApplicationTest, SystemCommandsAndTheSystemsOwnStateChangesRouteToMinimiseAndRestore) {
  SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);  // the form's minimise button
  EXPECT_EQ(minimized, 1);
  SendMessageA(app.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);  // the taskbar button
  EXPECT_EQ(restored, 1);

  ShowWindow(app.Handle(), SW_MINIMIZE);
  EXPECT_EQ(minimized, 2);
  EXPECT_TRUE(IsIconic(app.Handle()));
  ShowWindow(app.Handle(), SW_RESTORE);
  EXPECT_EQ(restored, 2);
  EXPECT_FALSE(IsIconic(app.Handle()));
}

TEST_F(ApplicationTest, ClosingTheFormQueuesTheQuitMessage) {
  SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(form.Handle()));
  MSG message;
  EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// A form that routes its timer's ticks, as the program's window does.
class TimerForm : public TestForm {
 public:
  Timer timer{Handle(), 7};
  std::function<void()> onTick;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_TIMER && timer.Fires(wParam)) onTick();
    return TestForm::HandleMessage(message, wParam, lParam);
  }
};

TEST_F(ApplicationTest, TimerTicksStopsAtIntervalZeroAndPassesExceptionsToTheHook) {
  TimerForm ticking;
  Timer& timer = ticking.timer;
  int ticks = 0;
  ticking.onTick = [&ticks] {
    if (++ticks == 2) throw Error("Tick failed");
  };
  timer.SetInterval(20);
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(ticks, 0) << "ticks before it was enabled";
  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 3; }));
  EXPECT_EQ(reported, std::vector<std::string>{"Tick failed"});

  timer.SetInterval(0);
  const int stoppedAt = ticks;
  PumpUntil([] { return false; }, 150);
  EXPECT_EQ(ticks, stoppedAt);

  timer.SetInterval(20);  // still enabled: it ticks again
  EXPECT_TRUE(PumpUntil([&] { return ticks > stoppedAt; }));
  timer.SetEnabled(false);
  const int disabledAt = ticks;
  PumpUntil([] { return false; }, 150);
  EXPECT_EQ(ticks, disabledAt);
}

}  // namespace
