// The tray icon from the shell's side: a copy minimised at start sits in the tray, a left click
// on the icon brings it back and a right click does not, and a copy ends from there leaving no
// icon behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <stdexcept>

#include "tests/e2e/DialvoxTest.h"
#include "tests/e2e/Tray.h"
#include "tests/support/SettingsKey.h"
#include "tests/support/Waiting.h"

namespace e2e {
namespace {

class E2eTray : public DialvoxTest {
 protected:
  // Starts a copy that minimises to the tray at start, and waits until it is there.
  Dialvox& StartInTray() {
    StoreSetting("MinimizeMode", 1);
    StoreSetting("MinimizeAtRun", 1);
    if (!DialvoxTrayIcons().empty()) throw std::runtime_error("an icon of an earlier copy is in the tray");
    Dialvox& dialvox = Start();
    EXPECT_TRUE(Reaches(dialvox, kInTray));
    return dialvox;
  }
};

TEST_F(E2eTray, StartsInTheTrayAndOnlyALeftClickBringsItBack) {
  Dialvox& dialvox = StartInTray();
  ASSERT_EQ(DialvoxTrayIcons().size(), 1u);

  RightClick(DialvoxTrayIcons().at(0));
  Sleep(500);
  ASSERT_EQ(StateOf(dialvox), kInTray) << "a right click did something";

  LeftClick(DialvoxTrayIcons().at(0));
  EXPECT_TRUE(Reaches(dialvox, kOpen));
}

// A restarted shell has forgotten every icon; once its taskbar is back it says so to everyone.
TEST_F(E2eTray, TheIconComesBackWhenTheShellsTaskbarIsCreatedAgain) {
  Dialvox& dialvox = StartInTray();
  NOTIFYICONDATAA forget{};
  forget.cbSize = NOTIFYICONDATAA_V1_SIZE;
  forget.hWnd = dialvox.MainWindow();
  forget.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &forget));
  ASSERT_TRUE(WaitUntil([] { return DialvoxTrayIcons().empty(); }, 3000));

  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  ASSERT_TRUE(WaitUntil([] { return DialvoxTrayIcons().size() == 1; }, 5000)) << "no icon came back";
  LeftClick(DialvoxTrayIcons().at(0));
  EXPECT_TRUE(Reaches(dialvox, kOpen));
}

// An undocked laptop: the window sat in the tray on a monitor that is gone. Brought back, it comes
// onto the screen whole; one that is partly on the screen stays where the user left it.
TEST_F(E2eTray, AWindowLeftOffTheScreenComesBackWholeOnIt) {
  Dialvox& dialvox = StartInTray();
  const HWND window = dialvox.MainWindow();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
  const RECT work = monitor.rcWork;
  const auto bringBackFrom = [&](int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LeftClick(DialvoxTrayIcons().at(0));
    EXPECT_TRUE(Reaches(dialvox, kOpen));
    RECT frame{};
    GetWindowRect(window, &frame);
    return frame;
  };
  EXPECT_EQ(bringBackFrom(work.left - 100, work.top + 50).left, work.left - 100);
  dialvox.Minimize();
  ASSERT_TRUE(Reaches(dialvox, kInTray));
  const RECT frame = bringBackFrom(work.right + 500, work.bottom + 500);
  EXPECT_TRUE(frame.left >= work.left && frame.top >= work.top && frame.right <= work.right &&
              frame.bottom <= work.bottom)
      << frame.left << "," << frame.top << " - " << frame.right << "," << frame.bottom;
}

// Wine's shell also drops the icons of a window that is destroyed, so what this can catch is a
// copy that does not end cleanly from the tray (the window hidden, the waiting thread waiting).
TEST_F(E2eTray, EndsCleanlyFromTheTrayAndLeavesNoIcon) {
  Dialvox& dialvox = StartInTray();
  dialvox.Close();
  EXPECT_EQ(dialvox.WaitForExit(), 0u);
  EXPECT_TRUE(DialvoxTrayIcons().empty());
}

}  // namespace
}  // namespace e2e
