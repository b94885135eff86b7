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
  // Destroys the window if it still exists; a derived class that must see its own WM_DESTROY
  // destroys it in its own destructor.
  virtual ~Window();

  HWND Handle() const { return handle_; }

  // The class of every Window, under the program's own name (other programs find its windows by
  // it), before the first window. Throws OSError.
  static void RegisterWindowClass(const char* className);

 protected:
  Window() = default;

  // CreateWindowExA on that class (button face, arrow cursor). Throws OSError.
  void Create(DWORD exStyle, const char* caption, DWORD style, int left, int top, int width,
              int height, HWND parentOrOwner);
  // Destroys the window now; the destructor then has nothing left to do.
  void Destroy();

  // Every message; DefWindowProcA by default. An exception goes to HandleException, answering 0.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
};
