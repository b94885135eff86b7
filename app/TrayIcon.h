// The window's icon next to the clock while it is minimised to the tray, offered again until the
// shell has it: the shell may be busy (a log-on's first seconds) or restart (every icon forgotten).
// A left click on it restores the application.
#pragma once

#include <windows.h>
#include <shellapi.h>

// The shell sends this to the window for mouse events on the icon.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 123;

// Shell_NotifyIconA, or a stand-in for tests: a shell that is busy, as at log-on.
using ShellNotifyIconFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);

// The application's small icon and title in the tray, for `window`.
class TrayIcon {
 public:
  TrayIcon(HWND window, ShellNotifyIconFunction shell);

  void Show();
  // Deleted, also when the shell refused the add: one that timed out may have landed after all.
  void Hide();
  // On the ticks: offered again while it should be shown and the shell has not taken it.
  void Keep();
  // The application's icon changed (another DPI): the same icon changed in place, never added twice.
  void IconChanged();
  // The icon's clicks and the shell's news that its taskbar was made anew (every icon forgotten).
  // Returns whether the message was one of them.
  bool HandleMessage(UINT message, LPARAM lParam);

 private:
  // NIM_ADD, NIM_MODIFY or NIM_DELETE for the window's icon (id 1). Returns whether the shell did
  // it: a busy shell times out and fails, though the icon may still arrive a moment later.
  bool TrayIconAction(DWORD message);

  HWND window_;
  ShellNotifyIconFunction shell_;
  // Broadcast by the shell when its taskbar is (re)created.
  UINT taskbarCreated_;
  bool shown_ = false;  // the window is in the tray
  bool taken_ = false;  // the shell has the icon
  DWORD lastOffer_ = 0;
};
