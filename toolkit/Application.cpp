#include "toolkit/Application.h"

#include <commctrl.h>

#include <stdexcept>
#include <utility>

#include "toolkit/Dpi.h"
#include "toolkit/Errors.h"
#include "toolkit/Form.h"
#include "toolkit/Window.h"

namespace {

// Messages of the taskbar window, posted from other threads or to itself. Any program may post
// them too, so they carry nothing: each only says what to do next.
constexpr UINT WM_SYNCHRONIZE = WM_APP + 1;  // run the pending synchronised calls
constexpr UINT WM_ACTIVATEMAINFORM = WM_APP + 2;

// How long a synchronised call waits before it tries again to post the message that has it run,
// when the queue refused it (Windows refuses posts to a queue that holds 10,000 messages).
constexpr DWORD kWakeUpRetryMs = 100;

}  // namespace

// One synchronised call. The waiting worker and the pending list share it, so it stays valid
// whichever of them lets go last, also when the message is handled late or never.
struct SyncRequest {
  enum State : int { Pending, Running, Done, Abandoned };

  explicit SyncRequest(const std::function<void()>& work)
      : step(work), done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!done) RaiseLastOSError();
  }

  std::function<void()> step;
  std::atomic<int> state{Pending};
  KernelHandle done;
};

namespace {

// Takes the one state change that decides who owns the step: the user-interface thread runs it
// only if the worker has not given up, and the worker gives up only if it has not started.
bool Claim(SyncRequest& request, SyncRequest::State newState) {
  int expected = SyncRequest::Pending;
  return request.state.compare_exchange_strong(expected, newState);
}

}  // namespace

// The application's own top-level window: zero size, so only its taskbar button is seen. It owns
// the main form, which the system therefore hides while this window is minimised.
class TaskbarWindow : public Window {
 public:
  explicit TaskbarWindow(const std::string& title) {
    Create(0, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    Application& app = App();
    switch (message) {
      case WM_SYSCOMMAND:
        // The taskbar button's clicks and menu arrive here.
        switch (wParam & 0xFFF0) {
          case SC_MINIMIZE:
            app.Minimize();
            return 0;
          case SC_RESTORE:
            app.Restore();
            return 0;
        }
        break;
      case WM_SIZE:
        // The system may change the state by other ways (the shell's "show desktop", a shell
        // that restores the window itself); the notifications follow the real state.
        if (wParam == SIZE_MINIMIZED) app.Minimize();
        if (wParam == SIZE_RESTORED) app.Restore();
        break;
      case WM_ACTIVATE:
        // Activating the application (its taskbar button) activates the main form; posted, as
        // activation must not change while it is being processed.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
          PostMessageA(Handle(), WM_ACTIVATEMAINFORM, 0, 0);
        break;
      case WM_ACTIVATEMAINFORM:
        if (Form* form = app.mainForm_;
            form && IsWindowVisible(form->Handle()) && IsWindowEnabled(form->Handle()))
          SetActiveWindow(form->Handle());
        return 0;
      case WM_CLOSE:
        app.Terminate();
        return 0;
      case WM_SYNCHRONIZE:
        app.RunPendingSteps();
        return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};

// The system only ever sends these messages: the ones whose parameters point at a record, and its
// news of a sleep. A sent message never passes through the queue. One taken from the queue was
// posted by some other program: its pointers are not ours to follow, nor its news true. It becomes
// WM_NULL before any window procedure sees it, in the program's own loop and in the system's modal
// ones alike.
LRESULT CALLBACK Application::DropPostedSystemMessages(int code, WPARAM removal, LPARAM lParam) {
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
  return CallNextHookEx(App().messageFilter_, code, removal, lParam);
}

Application::Application() = default;
Application::~Application() = default;

Application& App() {
  // Never destroyed: worker threads may still ask for it while static objects are torn down.
  static Application* const app = new Application;
  return *app;
}

void Application::Initialize(HINSTANCE instance, const char* windowClass) {
  uiThread_ = GetCurrentThreadId();

  // Only classes that comctl32 4.70 knows: an older one rejects the whole call for a flag it
  // does not know, and registers nothing.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&controls);
  if (!messageFilter_)
    messageFilter_ = SetWindowsHookExA(WH_GETMESSAGE, &DropPostedSystemMessages, nullptr, uiThread_);

  Window::RegisterWindowClass(windowClass);
  icon_ = LoadIconA(instance, MAKEINTRESOURCEA(1));
  if (!icon_) icon_ = LoadIconA(nullptr, IDI_APPLICATION);

  shutdownEvent_ = KernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!shutdownEvent_) RaiseLastOSError();

  window_ = std::make_unique<TaskbarWindow>(title_);
  LoadIcons(SystemDpi());
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
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
    if (!each) continue;
    SendMessageA(each, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessageA(each, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallIcon()));
  }
}

HWND Application::Handle() const { return window_ ? window_->Handle() : nullptr; }

void Application::SetTitle(const std::string& title) {
  title_ = title;
  if (window_) SetWindowTextA(Handle(), title_.c_str());
}

void Application::Run(Form& mainForm) {
  mainForm_ = &mainForm;
  ShowWindow(mainForm.Handle(), SW_SHOW);
  UpdateWindow(mainForm.Handle());

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (mainForm.Handle() && mainForm.HandleDialogKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  shuttingDown_ = true;
  SetEvent(shutdownEvent_.Get());
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
  if (OnException) {
    try {
      OnException(error);
      return;
    } catch (...) {
      // The hook itself failed: the user still learns of the original error below.
    }
  }
  const HWND owner = mainForm_ ? mainForm_->Handle() : Handle();
  MessageBoxA(owner, error.what(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void Application::RunStep(const std::function<void()>& step) noexcept {
  try {
    step();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

bool Application::Synchronize(const std::function<void()>& step) {
  if (GetCurrentThreadId() == uiThread_) {
    RunStep(step);
    return true;
  }
  if (!window_ || shuttingDown_) return false;

  auto request = std::make_shared<SyncRequest>(step);
  {
    const CriticalSection::Lock lock(pendingLock_);
    pending_.push_back(request);
  }
  // The loop may end while the request waits in the queue: the shutdown event then frees us. A
  // wake-up the queue refused is posted again after a while, by whichever call waits then.
  const HANDLE events[] = {request->done.Get(), shutdownEvent_.Get()};
  DWORD result;
  do {
    result = WaitForMultipleObjects(2, events, FALSE, QueueWakeUp() ? INFINITE : kWakeUpRetryMs);
  } while (result == WAIT_TIMEOUT);
  if (result == WAIT_OBJECT_0) return true;
  if (Claim(*request, SyncRequest::Abandoned)) return false;
  // The step had already started: it finishes, as the user-interface thread is inside it.
  WaitForSingleObject(request->done.Get(), INFINITE);
  return true;
}

// One message stands for every call waiting: with one per call, workers that call again at once
// would keep the queue from ever emptying, and the system makes timer ticks only when it is
// empty. Returns whether that message is in the queue now.
bool Application::QueueWakeUp() {
  {
    const CriticalSection::Lock lock(pendingLock_);
    if (wakeUpQueued_) return true;
    wakeUpQueued_ = true;
  }
  if (post_(Handle(), WM_SYNCHRONIZE, 0, 0)) return true;
  const CriticalSection::Lock lock(pendingLock_);
  wakeUpQueued_ = false;
  return false;
}

void Application::RunPendingSteps() noexcept {
  // Only the calls waiting now: a later one posts a message of its own, and workers that call
  // again at once must not keep this thread from its other messages.
  std::deque<std::shared_ptr<SyncRequest>> requests;
  {
    const CriticalSection::Lock lock(pendingLock_);
    requests.swap(pending_);
    wakeUpQueued_ = false;
  }
  for (const auto& request : requests) {
    // After the loop, a message box can still pump the message: the worker has given up by then,
    // and whatever the step touches may be gone.
    if (shuttingDown_ || !Claim(*request, SyncRequest::Running)) continue;
    RunStep(request->step);
    request->state = SyncRequest::Done;
    SetEvent(request->done.Get());
  }
}

void Application::WaitFor(HANDLE object) {
  if (GetCurrentThreadId() != uiThread_ || !window_) {
    WaitForSingleObject(object, INFINITE);
    return;
  }
  while (MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_POSTMESSAGE) ==
         WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageA(&message, Handle(), WM_SYNCHRONIZE, WM_SYNCHRONIZE, PM_REMOVE))
      DispatchMessageA(&message);
  }
}
