// One copy of the real dialvox.exe, started by a test and watched from outside as a user would see
// it: its main window, the texts and choices of its controls, its exit code.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "app/MainLayout.h"
#include "base/UniqueResource.h"

namespace e2e {

class Dialvox {
 public:
  // Starts a copy; throws std::runtime_error when it cannot be started.
  Dialvox();
  // A copy still running is killed.
  ~Dialvox();
  Dialvox(const Dialvox&) = delete;
  Dialvox& operator=(const Dialvox&) = delete;

  DWORD ProcessId() const { return processId_; }
  bool Running() const;
  // Waits until the main window exists and start-up has written the status line.
  bool WaitUntilStarted(DWORD timeoutMs = 15000);
  // The exit code, or nothing when the copy still runs after `timeoutMs`.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000) const;

  HWND MainWindow() const { return main_; }
  // The application's own window, which owns the main window and carries the taskbar button.
  HWND TaskbarWindow() const { return GetWindow(main_, GW_OWNER); }
  bool WindowShown() const { return IsWindowVisible(main_); }
  bool TaskbarButtonShown() const { return IsWindowVisible(TaskbarWindow()); }
  // Minimised, whether the taskbar button is still shown or hidden (tray, invisible).
  bool Minimized() const { return IsIconic(TaskbarWindow()); }

  // As the title bar's buttons do.
  void Minimize() const;
  void Close() const;

  std::string StatusText() const;
  // Whether the status line's text is drawn in pure red, as errors are.
  bool StatusInRed() const;
  std::string ValueLabel(int channel) const;
  int ChannelChoice(int channel) const;
  // The number of counters each channel list offers.
  int CatalogueSize() const;
  int WriteMode() const;
  // The port list's items ("1", "12", ...).
  std::vector<std::string> Ports() const;
  int PortChoice() const;
  void ChoosePort(int index) const { Choose(idPortList, index); }
  // As the user picks an item of a list: the write mode, or channel n's counter.
  void ChooseWriteMode(int mode) const { Choose(idWriteMode, mode); }
  void ChooseCounter(int channel, int index) const { Choose(CounterListId(channel), index); }
  std::string IntervalText() const;
  // A click on the radio button of a minimise mode (0 taskbar, 1 tray, 2 invisible).
  void ChooseMinimizeMode(int mode) const;

 private:
  HWND Part(int id, const char* className = nullptr) const;
  void Choose(int listId, int index) const;

  KernelHandle process_;
  DWORD processId_ = 0;
  HWND main_ = nullptr;
};

// The text of any window, asked of the window itself (WM_GETTEXT crosses processes).
std::string WindowText(HWND window);
// The items of any drop-down list.
std::vector<std::string> ListItems(HWND list);

// The main windows of every copy running in the desktop, this test's or not.
std::vector<HWND> RunningCopies();
// Kills every copy still running, and waits until they are gone.
void EndAllCopies();

}  // namespace e2e
