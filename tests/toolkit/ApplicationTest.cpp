#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/toolkit/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

namespace {

// PostMessageA on a queue that is full: Windows refuses posts to one that holds 10,000 messages.
std::atomic<int> postsToRefuse{0};
BOOL WINAPI RefuseSomePosts(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (postsToRefuse > 0) {
    --postsToRefuse;
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  return PostMessageA(window, message, wParam, lParam);
}

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.OnMinimize = [this] { ++minimized; };
    app.OnRestore = [this] { ++restored; };
    app.OnException = [this](const std::exception& error) {
      reported.push_back(error.what());
      reportThread = GetCurrentThreadId();
    };
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
  DWORD reportThread = 0;
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

TEST_F(ApplicationTest, TimerTicksStopsAtIntervalZeroAndPassesExceptionsToTheHook) {
  Timer timer(form);
  int ticks = 0;
  timer.OnTimer = [&ticks] {
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

TEST_F(ApplicationTest, SynchronizeRunsTheStepOnTheUserInterfaceThread) {
  std::atomic<DWORD> stepThread{0};
  std::atomic<bool> answer{false};
  LambdaThread worker([&](LambdaThread& self) {
    answer = self.Synchronize([&] { stepThread = GetCurrentThreadId(); });
  });
  worker.Start();
  EXPECT_TRUE(PumpUntil([&] { return worker.Finished(); }));
  EXPECT_TRUE(answer);
  EXPECT_EQ(stepThread, GetCurrentThreadId());
}

TEST_F(ApplicationTest, SynchronisedCallsStillRunWhenTheQueueRefusedTheirMessage) {
  app.SetPostFunction(&RefuseSomePosts);
  postsToRefuse = 2;
  std::atomic<int> steps{0}, answeredTrue{0};
  LambdaThread worker([&](LambdaThread& self) {
    for (int i = 0; i < 2; ++i) answeredTrue += self.Synchronize([&] { ++steps; });
  });
  worker.Start();
  EXPECT_TRUE(PumpUntil([&] { return worker.Finished(); }));
  app.SetPostFunction(nullptr);
  EXPECT_EQ(postsToRefuse, 0);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(answeredTrue, 2);
}

TEST_F(ApplicationTest, WaitingForAWorkerServesItsSynchronisedCalls) {
  std::atomic<int> steps{0};
  LambdaThread worker([&](LambdaThread& self) {
    for (int i = 0; i < 3; ++i) self.Synchronize([&] { ++steps; });
  });
  worker.Start();
  worker.WaitFor();  // no loop of our own: WaitFor must run the steps, or this never returns
  EXPECT_EQ(steps, 3);
}

TEST_F(ApplicationTest, ExceptionsOfAWorkerAndOfItsStepsReachTheHookOnTheUserInterfaceThread) {
  LambdaThread worker([](LambdaThread& self) {
    self.Synchronize([] { throw Error("Step failed"); });
    throw Error("Worker failed");
  });
  worker.Start();
  EXPECT_TRUE(PumpUntil([this] { return reported.size() == 2; }));
  EXPECT_EQ(reported, (std::vector<std::string>{"Step failed", "Worker failed"}));
  EXPECT_EQ(reportThread, GetCurrentThreadId());
}

}  // namespace
