// The tray icon against a stand-in for the shell: a shell that is busy, as in the first seconds of
// a log-on, and the session's end, when the shell is ending too.
#include <objbase.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/Waiting.h"
#include "toolkit/Application.h"

namespace {

// Writes down what it is asked. While busy it fails every call, as a shell that times out does;
// an add may land a moment later all the same.
struct StandInShell {
  bool busy = false;
  bool busyAddsLand = false;
  bool iconShown = false;
  std::vector<DWORD> calls;
  std::function<void(DWORD)> onCall;

  BOOL Notify(DWORD message) {
    calls.push_back(message);
    if (onCall) onCall(message);
    if (busy) {
      iconShown |= message == NIM_ADD && busyAddsLand;
      return FALSE;
    }
    const bool wasShown = iconShown;
    if (message == NIM_ADD) iconShown = true;
    if (message == NIM_DELETE) iconShown = false;
    return message == NIM_ADD ? !wasShown : wasShown;
  }
};

StandInShell shell;
BOOL WINAPI StandInNotifyIcon(DWORD message, PNOTIFYICONDATAA) { return shell.Notify(message); }

TEST_F(MainWindowTest, AnIconTheBusyShellDidNotTakeIsOfferedAgainUntilItHasIt) {
  shell = {};
  Start({&StandInNotifyIcon});
  ChooseMinimizeMode(1);

  // The add timed out but landed: the next offer finds the icon there and adds no second one.
  shell.busy = shell.busyAddsLand = true;
  App().Minimize();
  shell.busy = false;
  EXPECT_TRUE(PumpUntil([] { return shell.calls.size() >= 2; }));
  EXPECT_EQ(shell.calls, (std::vector<DWORD>{NIM_ADD, NIM_MODIFY}));
  App().Restore();
  EXPECT_EQ(shell.calls.back(), static_cast<DWORD>(NIM_DELETE));
  EXPECT_FALSE(shell.iconShown);

  // The add was lost: it is offered on the ticks until the shell takes it, then no more.
  shell.calls.clear();
  shell.busy = true;
  shell.busyAddsLand = false;
  App().Minimize();
  EXPECT_TRUE(PumpUntil([] { return shell.calls.size() >= 3; }));
  shell.busy = false;
  EXPECT_TRUE(PumpUntil([] { return shell.iconShown; }));
  const std::size_t offers = shell.calls.size();
  PumpUntil([] { return false; }, 1500);
  EXPECT_EQ(shell.calls.size(), offers);
  App().Restore();
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return 0;
  BITMAP bitmap{};
  GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// A move to a monitor of another DPI, as Windows 10 1703 on announces it: first the size asked
// for, then the change with the rectangle it suggests. The window takes the suggested top-left;
// the size it answered is its client area at the new DPI inside the frame Windows draws there. It
// draws its icons at the new small-icon size, and the tray's icon is changed in place. The form's
// old font is gone once no control uses it.
TEST_F(MainWindowTest, AMoveToAnotherDpiTakesTheAnsweredSizeAndChangesTheTrayIconInPlace) {
  shell = {};
  TfrmMain& form = Start({&StandInNotifyIcon});
  ChooseMinimizeMode(1);
  App().Minimize();
  shell.calls.clear();
  const HWND status = Get<Edit>("txtStatusLine").Handle();
  int left = 10;
  for (const int dpi : {144, 120, 192, 96}) {
    SIZE asked{};
    EXPECT_TRUE(SendMessageA(form.Handle(), WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&asked)));
    const auto oldFont = reinterpret_cast<HGDIOBJ>(SendMessageA(status, WM_GETFONT, 0, 0));
    RECT place{left, 30, left + asked.cx, 30 + asked.cy};
    left += 10;
    SendMessageA(form.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(GetObjectType(oldFont), 0u) << dpi;
    RECT frame{};
    GetWindowRect(form.Handle(), &frame);
    EXPECT_EQ(frame.left, place.left) << dpi;
    EXPECT_EQ(frame.top, place.top) << dpi;
    RECT answered{};
    GetClientRect(form.Handle(), &answered);
    AdjustWindowRectExForDpi(&answered, GetWindowLongA(form.Handle(), GWL_STYLE), FALSE, 0, dpi);
    EXPECT_EQ(asked.cx, answered.right - answered.left) << dpi;
    EXPECT_EQ(asked.cy, answered.bottom - answered.top) << dpi;
    const auto smallIcon = reinterpret_cast<HICON>(SendMessageA(form.Handle(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(IconWidth(smallIcon), GetSystemMetricsForDpi(SM_CXSMICON, dpi)) << dpi;
  }
  EXPECT_EQ(shell.calls, std::vector<DWORD>(4, NIM_MODIFY));
  RECT client{};
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 301) << "back at 96 DPI, the design";
  EXPECT_EQ(client.bottom, 294);
  App().Restore();
}

// Log-off, shut-down or an installer's Restart Manager: Windows may end the program a few seconds
// later. The settings are stored first, then the needles rest (a device that holds the line costs
// the rest's short limit, no more), then the icon goes (the shell may be ending, and a delete
// wait out its time-out); the program ends by itself rather than run on dark.
TEST_F(MainWindowTest, TheSessionsEndStoresTheSettingsBeforeTheDeviceAndTheIconAndEndsTheLoop) {
  shell = {};
  TfrmMain& form = Start({&StandInNotifyIcon});
  ChooseMinimizeMode(1);
  App().Minimize();
  ASSERT_TRUE(shell.iconShown);
  std::size_t storedAtDelete = 0;
  shell.onCall = [&storedAtDelete](DWORD message) {
    if (message == NIM_DELETE) storedAtDelete = StoredSettings().size();
  };
  std::size_t storedAtRest = 0;
  DWORD restLimit = 0;
  serial.stalled = true;
  serial.onWrite = [&] {
    storedAtRest = StoredSettings().size();
    restLimit = serial.timeouts.WriteTotalTimeoutMultiplier * 11 + serial.timeouts.WriteTotalTimeoutConstant;
  };

  SendMessageA(form.Handle(), WM_ENDSESSION, TRUE, 0);
  shell.onCall = nullptr;
  serial.onWrite = nullptr;
  EXPECT_EQ(serial.writes.back().bytes, (std::vector<std::uint8_t>{0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(storedAtRest, 15u);
  EXPECT_EQ(restLimit, DWORD{DeviceFeed::kRestWriteLimitMs});
  EXPECT_EQ(storedAtDelete, 15u);
  EXPECT_FALSE(shell.iconShown);
  EXPECT_EQ(serial.OpenPorts(), 0);
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the loop goes on";
  const std::size_t writes = serial.writes.size();
  PumpUntil([] { return false; }, 600);
  EXPECT_EQ(serial.writes.size(), writes) << "the timer still feeds the port";
  App().Restore();
}

// Links go through the shell, which may hand them to a COM object: by then the window's thread
// is in a single-threaded apartment, where joining again answers S_FALSE.
std::string opened;
HRESULT apartmentAtOpen = E_FAIL;
HINSTANCE WINAPI StandInOpen(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  opened = file;
  apartmentAtOpen = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (SUCCEEDED(apartmentAtOpen)) CoUninitialize();
  return reinterpret_cast<HINSTANCE>(33);
}

TEST_F(MainWindowTest, ALinkOpensWithTheWindowThreadInASingleThreadedApartment) {
  TfrmMain& form = Start({&Shell_NotifyIconA, &StandInOpen});
  const HWND link = Get<LinkLabel>("Label16").Handle();
  SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
               reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(opened, "http://www.example.org/dialvox/");
  EXPECT_EQ(apartmentAtOpen, S_FALSE);
}

}  // namespace
