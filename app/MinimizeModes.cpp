// Minimise modes: to the taskbar, to the tray, or out of sight (back only when another copy starts).
#include "app/Main.h"
#include "app/Utils.h"
#include "toolkit/Application.h"

namespace {

enum MinimizeMode : int { mmTaskbar = 0, mmTray = 1, mmInvisible = 2 };

// A shell that did not take the icon is offered it again at most this often: while it is busy
// every offer may wait out its time-out, and the device should not wait with it.
constexpr DWORD kTrayIconOfferIntervalMs = 1000;

}  // namespace

void TfrmMain::AppMinimize() {
  const int mode = gbxMinMode->ItemIndex();
  // Hidden in the tray even when the shell did not take the icon yet: it is offered again on the
  // ticks, and the peer signal brings the window back in any case.
  if (mode == mmTray) ShowTrayIcon();
  if (mode == mmTray || mode == mmInvisible) {
    ShowWindow(Handle(), SW_HIDE);
    ShowWindow(App().Handle(), SW_HIDE);
  }
}

void TfrmMain::AppRestore() {
  ShowWindow(Handle(), SW_SHOW);
  ShowWindow(App().Handle(), SW_RESTORE);
  HideTrayIcon();
  SetActiveWindow(Handle());
  SetForegroundWindow(Handle());
}

bool TfrmMain::TrayIcon(int action) {
  lastTrayIconOffer_ = GetTickCount();
  return TrayIconAction(Handle(), App().SmallIcon(), App().Title(), action, WM_TRAYNOTIFY,
                        shellNotifyIcon_);
}

void TfrmMain::ShowTrayIcon() {
  TrayIconShown = true;
  TrayIconTaken = TrayIcon(taAdd);
}

void TfrmMain::HideTrayIcon() {
  if (!TrayIconShown) return;
  // Also when the shell refused the add: one that timed out may have landed after all.
  TrayIcon(taDelete);
  TrayIconShown = false;
  TrayIconTaken = false;
}

void TfrmMain::KeepTrayIcon() {
  if (!TrayIconShown || TrayIconTaken) return;
  if (GetTickCount() - lastTrayIconOffer_ < kTrayIconOfferIntervalMs) return;
  // An add that timed out may have landed since: then the icon is there, and only a change of it
  // succeeds (a second add would fail).
  TrayIconTaken = TrayIcon(taModify) || TrayIcon(taAdd);
}

void TfrmMain::WMTrayNotify(LPARAM mouseMessage) {
  if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK) App().Restore();
}

void TfrmMain::TaskbarCreated() {
  // A restarted shell has forgotten the icon; hidden in the tray, the window has no other way back.
  if (TrayIconShown) TrayIconTaken = TrayIcon(taAdd);
}

void TfrmMain::gbxMinModeClick() { lblMinNote->SetVisible(gbxMinMode->ItemIndex() == mmInvisible); }
