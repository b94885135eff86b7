#include "app/TrayIcon.h"

#include <cstring>

#include "toolkit/Application.h"

namespace {

// A shell that did not take the icon is offered it again at most this often: while it is busy
// every offer may wait out its time-out, and the device should not wait with it.
constexpr DWORD kOfferIntervalMs = 1000;

}  // namespace

bool TrayIconAction(HWND window, HICON icon, const std::string& tip, int action,
                    UINT callbackMessage, ShellNotifyIconFunction shell) {
  // The first version of the record: every shell since Windows 95 understands it. Its size is
  // that of its layout, which holds a window and an icon handle: 88 bytes on 32-bit Windows, 104
  // on x64, where the handles are 8 bytes wide and aligned to 8.
  static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  std::strncpy(data.szTip, tip.c_str(), 63);  // the 64th byte stays zero
  const DWORD message = action == taAdd ? NIM_ADD : action == taModify ? NIM_MODIFY : NIM_DELETE;
  return shell(message, &data);
}

bool TrayIcon::Notify(int action) {
  lastOffer_ = GetTickCount();
  return TrayIconAction(window_, App().SmallIcon(), App().Title(), action, WM_TRAYNOTIFY, shell_);
}

void TrayIcon::Show() {
  shown_ = true;
  taken_ = Notify(taAdd);
}

void TrayIcon::Hide() {
  if (!shown_) return;
  Notify(taDelete);
  shown_ = taken_ = false;
}

void TrayIcon::Keep() {
  if (!shown_ || taken_ || GetTickCount() - lastOffer_ < kOfferIntervalMs) return;
  // An add that timed out may have landed since: then the icon is there, and only a change of it
  // succeeds (a second add would fail).
  taken_ = Notify(taModify) || Notify(taAdd);
}

void TrayIcon::ShellRestarted() {
  // Hidden in the tray, the window has no other way back.
  if (shown_) taken_ = Notify(taAdd);
}

void TrayIcon::IconChanged() {
  if (shown_) taken_ = Notify(taModify);
}
