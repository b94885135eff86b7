#include "toolkit/Application.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "toolkit/Dpi.h"
#include "toolkit/Form.h"
#include "toolkit/Window.h"

namespace {

// Posted by the taskbar window to itself. Any program may post it too, so it carries nothing: it
// only says what to do next.
constexpr UINT WM_ACTIVATEMAINFORM = WM_APP + 2;

// Drops the messages that only the system sends when another program posts them: their pointers
// (WM_NOTIFY, WM_DEVICECHANGE, the DPI messages) are not ours to follow, and the news (a sleep) is
// not true. The system sends them, never through the queue; one taken from the queue becomes
// WM_NULL before any window procedure sees it, in our loop and in the system's modal ones.
HHOOK postedMessageFilter = nullptr;

LRESULT CALLBACK FilterPostedMessage(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION) {
    MSG& message = *reinterpret_cast<MSG*>(lParam);
    switch (message.message) {
      case WM_NOTIFY:
      case WM_DEVICECHANGE:
      case WM_DPICHANGED:
      case WM_GETDPISCALEDSIZE:
      case WM_POWERBROADCAST:
        message.message = WM_NULL;
    }
  }
  // Windows 95, 98 and Me pass the message on only with the handle of the hook itself; the NT
  // family ignores it.
  return CallNextHookEx(postedMessageFilter, code, removal, lParam);
}

}  // namespace

Application& App() {
  // Never destroyed: its window goes with the process, not in the teardown of static objects.
  static Application* const app = new Application;
  return *app;
}

void Application::Initialize(HINSTANCE instance, const char* windowClass) {
  // Only classes that comctl32 4.70 knows: an older one rejects the whole call for a flag it
  // does not know, and registers nothing.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);

  Window::RegisterWindowClass(windowClass);
  SetExceptionHandler([](std::exception_ptr error) noexcept { App().HandleException(error); });
  icon_ = LoadIconA(instance, MAKEINTRESOURCEA(1));
  if (!icon_) icon_ = LoadIconA(nullptr, IDI_APPLICATION);

  // Zero size, so only its taskbar button is seen. It owns the main form, which the system
  // therefore hides while this window is minimised.
  Create(0, title_.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
         GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
}

LRESULT Application::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      // The taskbar button's clicks and menu arrive here, and the main form's minimise button.
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
          Minimize();
          return 0;
        case SC_RESTORE:
          Restore();
          return 0;
      }
      break;
    case WM_SIZE:
      // The system may change the state by other ways (the shell's "show desktop", a shell that
      // restores the window itself); the notifications follow the real state.
      if (wParam == SIZE_MINIMIZED) Minimize();
      if (wParam == SIZE_RESTORED) Restore();
      break;
    case WM_ACTIVATE:
      // Activating the application (its taskbar button) activates the main form; posted, as
      // activation must not change while it is being processed.
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) PostMessageA(Handle(), WM_ACTIVATEMAINFORM, 0, 0);
      break;
    case WM_ACTIVATEMAINFORM:
      if (mainForm_ && IsWindowVisible(mainForm_->Handle()) && IsWindowEnabled(mainForm_->Handle()))
        SetActiveWindow(mainForm_->Handle());
      return 0;
    case WM_CLOSE:
      Terminate();
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}

void Application::LoadIcons(int dpi, HWND window) {
  // Drawn at that size, not the large one squeezed: 16, 20, 24 or 32 pixels at 96, 120, 144 or
  // 192 DPI. Not shared: the system's cache of shared icons would answer with the size it has.
  // The previous one goes once no window shows it (the shell keeps a copy of the tray's).
  const IconHandle previous = std::exchange(
      smallIcon_, IconHandle(static_cast<HICON>(LoadImageA(
                      GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                      SystemMetric(SM_CXSMICON, dpi), SystemMetric(SM_CYSMICON, dpi), 0))));
  for (const HWND each : {Handle(), window}) {
    SendMessageA(each, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(each, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon()));
  }
}

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (Handle()) SetWindowTextA(Handle(), title_.c_str());
}

void Application::Run(Form& mainForm) {
  mainForm_ = &mainForm;
  ShowWindow(mainForm.Handle(), SW_SHOW);
  UpdateWindow(mainForm.Handle());

  postedMessageFilter = SetWindowsHookExA(WH_GETMESSAGE, &FilterPostedMessage, nullptr, GetCurrentThreadId());
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (mainForm.Handle() && mainForm.HandleDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (postedMessageFilter) UnhookWindowsHookEx(postedMessageFilter);
  postedMessageFilter = nullptr;
  mainForm_ = nullptr;
}

void Application::Terminate() { PostQuitMessage(0); }

void Application::Minimize() {
  if (minimized_) return;
  // Marked first: the WM_SIZE that ShowWindow sends must not raise the notification again.
  minimized_ = true;
  // Windows hides the owned windows (the main form) with their minimised owner; Wine does not,
  // so they are hidden here, marked to come back with the owner.
  ShowOwnedPopups(Handle(), FALSE);
  ShowWindow(Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize();
}

void Application::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  // Also shows the window when a minimise handler has hidden it.
  ShowWindow(Handle(), SW_RESTORE);
  ShowOwnedPopups(Handle(), TRUE);
  if (OnRestore) OnRestore();
}

void Application::HandleException(std::exception_ptr error) noexcept {
  if (!error) return;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& exception) {
    ShowException(exception);
  } catch (...) {
    ShowException(std::runtime_error("Unknown exception"));
  }
}

void Application::ShowException(const std::exception& error) noexcept {
  // A hook that fails itself leaves the original error to the message box.
  try {
    if (OnException) return OnException(error);
  } catch (...) {
  }
  const HWND owner = mainForm_ ? mainForm_->Handle() : Handle();
  MessageBoxA(owner, error.what(), title_.c_str(), MB_OK | MB_ICONERROR);
}
