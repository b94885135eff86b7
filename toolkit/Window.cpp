#include "toolkit/Window.h"

#include "base/Errors.h"

namespace {

// Every window with this class is one of our Window objects: the window procedure below is the
// class's, and it is the only one that reads the user data.
char className[64];

ExceptionHandler exceptionHandler = nullptr;

}  // namespace

void SetExceptionHandler(ExceptionHandler handler) { exceptionHandler = handler; }

void HandleException(std::exception_ptr error) noexcept {
  if (exceptionHandler) exceptionHandler(error);
}

void Window::RegisterWindowClass(const char* name) {
  lstrcpynA(className, name, sizeof className);
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &Window::WindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass)) RaiseLastOSError();
}

Window::~Window() {
  // No message may reach the virtual handler of an object that is half gone.
  if (handle_) {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    Destroy();
  }
}

void Window::Create(DWORD exStyle, const char* caption, DWORD style, int left, int top, int width,
                    int height, HWND parentOrOwner) {
  const HWND window = CreateWindowExA(exStyle, className, caption, style, left, top, width, height,
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
    HandleException(std::current_exception());
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->handle_ = nullptr;
  }
  return result;
}
