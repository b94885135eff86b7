#include "app/TrayIcon.h"

#include <cstring>

#include "toolkit/Application.h"
#include "base/SystemFunction.h"

namespace {

// A shell that did not take the icon is offered it again at most this often: while it is busy
// every offer may wait out its time-out, and the device should not wait with it.
constexpr DWORD kOfferIntervalMs = 1000;

// Vista and later keep the messages of programs with fewer rights from an elevated one (a copy
// started "as administrator"), Explorer's among them, unless it lets them through.
void AcceptFromEveryProcess(HWND window, UINT message) {
  if (const auto allow = FindSystemFunction<decltype(&ChangeWindowMessageFilterEx)>(
          "user32.dll", "ChangeWindowMessageFilterEx")) {
    allow(window, message, MSGFLT_ALLOW, nullptr);  // 7 and later: this window only
  } else if (const auto add = FindSystemFunction<decltype(&ChangeWindowMessageFilter)>(
                 "user32.dll", "ChangeWindowMessageFilter")) {
    add(message, MSGFLT_ADD);  // Vista
  }
}

}  // namespace

TrayIcon::TrayIcon(HWND window, ShellNotifyIconFunction shell)
    : window_(window), shell_(shell), taskbarCreated_(RegisterWindowMessageA("TaskbarCreated")) {
  if (taskbarCreated_) AcceptFromEveryProcess(window_, taskbarCreated_);
}

bool TrayIcon::TrayIconAction(DWORD message) {
  lastOffer_ = GetTickCount();
  // The record's first version, which every shell since Windows 95 reads: 88 bytes, 104 on x64
  // (its window and icon handles are 8 bytes wide there, and aligned to 8).
  static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window_;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.hIcon = App().SmallIcon();
  std::strncpy(data.szTip, App().Title().c_str(), 63);  // the 64th byte stays zero
  return shell_(message, &data);
}

void TrayIcon::Show() {
  shown_ = true;
  taken_ = TrayIconAction(NIM_ADD);
}

void TrayIcon::Hide() {
  if (!shown_) return;
  TrayIconAction(NIM_DELETE);
  shown_ = taken_ = false;
}

void TrayIcon::Keep() {
  if (!shown_ || taken_ || GetTickCount() - lastOffer_ < kOfferIntervalMs) return;
  // An add that timed out may have landed since: then the icon is there, and only a change of it
  // succeeds (a second add would fail).
  taken_ = TrayIconAction(NIM_MODIFY) || TrayIconAction(NIM_ADD);
}

bool TrayIcon::HandleMessage(UINT message, LPARAM lParam) {
  if (message == WM_TRAYNOTIFY) {
    if (lParam == WM_LBUTTONUP || lParam == WM_LBUTTONDBLCLK) App().Restore();
    return true;
  }
  if (message != taskbarCreated_ || !taskbarCreated_) return false;
  // Hidden in the tray, the window has no other way back.
  if (shown_) taken_ = TrayIconAction(NIM_ADD);
  return true;
}

void TrayIcon::IconChanged() {
  if (shown_) taken_ = TrayIconAction(NIM_MODIFY);
}
