// Base of the program's own windows: the window procedure hands each message to the object that
// owns the window, and no exception ever unwinds through the system's frames.
#pragma once

#include <windows.h>

#include <exception>

// Where the exceptions that our window procedures stop go: the application's exception handling,
// which sets it (Application::Initialize). Until then they are dropped.
using ExceptionHandler = void (*)(std::exception_ptr error) noexcept;
void SetExceptionHandler(ExceptionHandler handler);
void HandleException(std::exception_ptr error) noexcept;

class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // Destroys the window if it still exists. The derived parts are gone by then, so a derived
  // class that must see its own WM_DESTROY destroys the window in its own destructor.
  virtual ~Window();

  HWND Handle() const { return handle_; }

  // The window class of every Window of the process, registered under the program's own name
  // (other programs find its windows by it) before the first window is made. Throws OSError.
  static void RegisterWindowClass(const char* className);

 protected:
  Window() = default;

  // CreateWindowExA on the program's window class (button-face background, arrow cursor). Throws
  // OSError.
  void Create(DWORD exStyle, const char* caption, DWORD style, int left, int top, int width,
              int height, HWND parentOrOwner);
  // Destroys the window now; the destructor then has nothing left to do.
  void Destroy();

  // Every message of the window; the default is DefWindowProcA. An exception thrown here goes to
  // the application's exception handling and the message answers 0.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
};
