// The application object: title, icons, message loop, the application-wide exception hook; its
// window is the zero-size top-level one that carries the taskbar button and owns the main window.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "base/UniqueResource.h"
#include "toolkit/Window.h"

class Form;

class Application : public Window {
 public:

  // Common controls, the program's window class, the icon (resource 1, else the system's), the
  // windows' exception handling (this object's) and the taskbar window. Throws OSError.
  void Initialize(HINSTANCE instance, const char* windowClass);

  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }
  // The icon at the small-icon size of the DPI last loaded (title bar, taskbar button, tray).
  HICON SmallIcon() const { return smallIcon_ ? smallIcon_.Get() : icon_; }
  // Draws the small icon at the small-icon size of `dpi` and gives both icons to the taskbar
  // button and to `window`.
  void LoadIcons(int dpi, HWND window);

  // Shows the main form and dispatches messages until WM_QUIT, the form's keys first, other
  // programs' posts of the system's messages dropped.
  void Run(Form& mainForm);
  // Queues the quit message: whatever was posted before it is handled first.
  void Terminate();

  // Only a real change of state raises the notification. A hidden taskbar window stays
  // "minimised", so a later Restore acts.
  void Minimize();
  void Restore();

  std::function<void()> OnMinimize;
  std::function<void()> OnRestore;
  std::function<void(const std::exception&)> OnException;

  // Shows the error with OnException, or in a message box without it.
  void HandleException(std::exception_ptr error) noexcept;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend Application& App();
  Application() = default;

  void ShowException(const std::exception& error) noexcept;

  HICON icon_ = nullptr;
  IconHandle smallIcon_;
  std::string title_;
  Form* mainForm_ = nullptr;
  bool minimized_ = false;
};

// The one application object of the process.
Application& App();
