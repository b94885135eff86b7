#include "app/TrayIcon.h"

#include <cstring>

#include "toolkit/Application.h"

namespace {

// A shell that did not take the icon is offered it again at most this often: while it is busy
// every offer may wait out its time-out, and the device should not wait with it.
constexpr DWORD kOfferIntervalMs = 1000;

}  // namespace

bool TrayIcon::TrayIconAction(DWORD message) {
  lastOffer_ = GetTickCount();
  // The first version of the record: every shell since Windows 95 understands it. Its size is
  // that of its layout, which holds a window and an icon handle: 88 bytes on 32-bit Windows, 104
  // on x64, where the handles are 8 bytes wide and aligned to 8.
  static_assert(NOTIFYICONDATAA_V1_SIZE == (sizeof(void*) == 4 ? 88 : 104));
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
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

void TrayIcon::ShellRestarted() {
  // Hidden in the tray, the window has no other way back.
  if (shown_) taken_ = TrayIconAction(NIM_ADD);
}

void TrayIcon::IconChanged() {
  if (shown_) taken_ = TrayIconAction(NIM_MODIFY);
}
