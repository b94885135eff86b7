#include "toolkit/Window.h"

#include <exception>

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

namespace {

const char kClassName[] = "DialvoxWindow";

// Registered on first use, so that a window can exist before (or without) the application.
void RegisterWindowClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) RaiseLastOSError();
    return true;
  }();
  (void)registered;
}

}  // namespace

Window::~Window() {
  // No message may reach the virtual handler of an object that is half gone.
  if (handle_) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    Destroy();
  }
}

Window* Window::FromHandle(HWND window) {
  // Another copy of the program has windows of the same class: their pointers mean nothing here.
  DWORD process = 0;
  if (!window || !GetWindowThreadProcessId(window, &process) || process != GetCurrentProcessId())
    return nullptr;
  char className[sizeof kClassName + 1];
  if (!GetClassNameA(window, className, sizeof className) || lstrcmpA(className, kClassName) != 0)
    return nullptr;
  return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void Window::Create(DWORD exStyle, const char* caption, DWORD style, int left, int top, int width,
                    int height, HWND parentOrOwner) {
  RegisterWindowClass(&Window::WindowProc);
  const HWND window = CreateWindowExA(exStyle, kClassName, caption, style, left, top, width, height,
                                      parentOrOwner, nullptr, GetModuleHandleA(nullptr), this);
  if (!window) RaiseLastOSError();
}

void Window::Destroy() {
  if (handle_) DestroyWindow(handle_);
  handle_ = nullptr;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, wParam, lParam);

  LRESULT result = 0;
  try {
    result = self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    App().HandleException(std::current_exception());
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}
