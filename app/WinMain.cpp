// Dialvox: samples the system load on a timer and feeds it to a load indicator on a COM port.
#include <windows.h>

#include <exception>

#include "app/Main.h"
#include "app/Modules.h"
#include "toolkit/Application.h"

namespace {

int ShowFatalError(const std::exception& error) {
  MessageBoxA(nullptr, error.what(), "Dialvox", MB_OK | MB_ICONERROR);
  return 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // A module that cannot start ends the program before any window exists.
  try {
    InitializeModules();
  } catch (const std::exception& error) {
    return ShowFatalError(error);
  }

  int exitCode = 0;
  try {
    // Other programs (and the end-to-end tests) know the program's windows by their class.
    Application& app = App();
    app.Initialize(instance, "DialvoxWindow");
    app.SetTitle("Dialvox");
    TfrmMain frmMain;
    app.Run(frmMain);
  } catch (const std::exception& error) {
    // Only the window system itself failing (no window could be made) ends up here: errors of
    // the program's own steps go to the status line.
    exitCode = ShowFatalError(error);
  }
  FinalizeModules();
  return exitCode;
}
