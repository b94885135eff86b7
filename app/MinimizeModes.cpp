// Minimise modes: to the taskbar, to the tray, or out of sight (back only when another copy starts).
#include "app/Main.h"
#include "app/Utils.h"
#include "toolkit/Application.h"

namespace {

enum MinimizeMode : int { mmTaskbar = 0, mmTray = 1, mmInvisible = 2 };

}  // namespace

void TfrmMain::AppMinimize() {
  const int mode = gbxMinMode->ItemIndex();
  if (mode == mmTray) {
    TrayIconAction(Handle(), App().Icon(), App().Title(), taAdd, WM_TRAYNOTIFY);
    // Set even when the shell refused the icon: the peer signal still brings the window back.
    TrayIconShown = true;
  }
  if (mode == mmTray || mode == mmInvisible) {
    ShowWindow(Handle(), SW_HIDE);
    ShowWindow(App().Handle(), SW_HIDE);
  }
}

void TfrmMain::AppRestore() {
  ShowWindow(Handle(), SW_SHOW);
  ShowWindow(App().Handle(), SW_RESTORE);
  if (TrayIconShown) {
    TrayIconAction(Handle(), App().Icon(), App().Title(), taDelete, WM_TRAYNOTIFY);
    TrayIconShown = false;
  }
  SetActiveWindow(Handle());
  SetForegroundWindow(Handle());
}

void TfrmMain::WMTrayNotify(LPARAM mouseMessage) {
  if (mouseMessage == WM_LBUTTONUP || mouseMessage == WM_LBUTTONDBLCLK) App().Restore();
}

void TfrmMain::TaskbarCreated() {
  // A restarted shell has forgotten the icon, and a shell that was not up yet refused it; hidden
  // in the tray, the window has no other way back.
  if (TrayIconShown) TrayIconAction(Handle(), App().Icon(), App().Title(), taAdd, WM_TRAYNOTIFY);
}

void TfrmMain::gbxMinModeClick() { lblMinNote->SetVisible(gbxMinMode->ItemIndex() == mmInvisible); }
