// The application object: title, icons, message loop, the application-wide exception hook, and
// the hidden top-level window that carries the taskbar button and owns the main window.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "base/UniqueResource.h"

class Form;
class TaskbarWindow;

class Application {
 public:
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Common controls, the program's window class, the icon (resource 1, else the system's), the
  // windows' exception handling (this object's) and the taskbar window, shown as a zero-size
  // window so that it has the taskbar button; the icons go on it with the main window's, at that
  // window's DPI (LoadIcons). Throws OSError.
  void Initialize(HINSTANCE instance, const char* windowClass);

  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }
  // The icon at the small-icon size (the title bar, the taskbar button, the tray) of the DPI last
  // loaded; the large one until then.
  HICON SmallIcon() const { return smallIcon_ ? smallIcon_.Get() : icon_; }
  // Draws the small icon at the small-icon size of `dpi` and gives both icons to the taskbar
  // button and to `window` (none: the taskbar button alone).
  void LoadIcons(int dpi, HWND window = nullptr);
  HWND Handle() const;

  // Shows the main form and dispatches messages until WM_QUIT, with the form's keys taken first
  // and other programs' posted system messages dropped (see Run).
  void Run(Form& mainForm);
  // Queues the quit message: whatever was posted before it is handled first.
  void Terminate();

  // Minimise and restore act only on a real change of state and then raise the notification.
  // The state stays "minimised" when a handler hides the taskbar window, so a later Restore acts.
  void Minimize();
  void Restore();

  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;
  std::function<void(const std::exception&)> OnException;

  // Shows the error with OnException, or in a message box without it.
  void HandleException(std::exception_ptr error) noexcept;

 private:
  friend Application& App();
  friend class TaskbarWindow;
  Application();
  ~Application();

  void ShowException(const std::exception& error) noexcept;

  HICON icon_ = nullptr;
  IconHandle smallIcon_;
  std::string title_;
  std::unique_ptr<TaskbarWindow> window_;
  Form* mainForm_ = nullptr;
  bool minimized_ = false;
};

// The one application object of the process.
Application& App();
