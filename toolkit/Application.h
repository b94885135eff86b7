// The application object: title, icon, message loop, the application-wide exception hook, and the
// hidden top-level window that carries the taskbar button and owns the main window.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/CriticalSection.h"
#include "toolkit/UniqueResource.h"

class Form;
struct SyncRequest;
class TaskbarWindow;

class Application {
 public:
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Common controls, the program's window class, the icons (resource 1, else the system's) and the
  // taskbar window, shown as a zero-size window so that it has the taskbar button; and a filter
  // that keeps other programs' posted pointers from the thread's windows. Throws OSError.
  void Initialize(HINSTANCE instance, const char* windowClass);

  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }
  // The icon at the system's icon size (Explorer, Alt+Tab) and at its small-icon size (the title
  // bar, the taskbar button, the tray) for the DPI last loaded.
  HICON Icon() const { return icon_; }
  HICON SmallIcon() const { return smallIcon_ ? smallIcon_.Get() : icon_; }
  // Draws the small icon at the small-icon size of `dpi` and gives both icons to the taskbar
  // button and to `window` (none: the taskbar button alone).
  void LoadIcons(int dpi, HWND window = nullptr);
  HWND Handle() const;

  // Shows the main form and dispatches messages until WM_QUIT. When the loop has ended the
  // application is shutting down: synchronised calls from other threads no longer run.
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

  // For other threads. Runs `step` on the user-interface thread (directly when called there) and
  // waits until it has run; returns false without running it once the application is shutting
  // down, so a worker can never wait forever for a loop that has ended.
  bool Synchronize(const std::function<void()>& step);
  // Waits for a kernel object. On the user-interface thread it keeps serving synchronised calls
  // meanwhile: a worker that is being waited for may be waiting for this thread itself.
  void WaitFor(HANDLE object);

  // How synchronised calls post their wake-up to the user-interface thread: PostMessageA, or a
  // stand-in for tests that refuses as Windows does when the thread's queue is full.
  using PostFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
  void SetPostFunction(PostFunction post) { post_ = post ? post : &PostMessageA; }

 private:
  friend Application& App();
  friend class TaskbarWindow;
  Application();
  ~Application();

  void ShowException(const std::exception& error) noexcept;
  void RunStep(const std::function<void()>& step) noexcept;
  bool QueueWakeUp();
  void RunPendingSteps() noexcept;
  static LRESULT CALLBACK DropPostedSystemMessages(int code, WPARAM removal, LPARAM lParam);

  HICON icon_ = nullptr;
  IconHandle smallIcon_;
  std::string title_;
  std::unique_ptr<TaskbarWindow> window_;
  Form* mainForm_ = nullptr;
  DWORD uiThread_ = 0;
  bool minimized_ = false;
  std::atomic<bool> shuttingDown_{false};
  KernelHandle shutdownEvent_;
  HHOOK messageFilter_ = nullptr;
  // Synchronised calls waiting for the user-interface thread, oldest first, and whether the
  // message that has them run is in the thread's queue.
  CriticalSection pendingLock_;
  std::deque<std::shared_ptr<SyncRequest>> pending_;
  bool wakeUpQueued_ = false;
  PostFunction post_ = &PostMessageA;
};

// The one application object of the process.
Application& App();
