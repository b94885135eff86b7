// Steps that worker threads have run on the user-interface thread, each worker waiting until its
// step has run. Shutdown can never leave a worker waiting: once the loop has ended, the calls
// return without running.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

#include "toolkit/CriticalSection.h"
#include "toolkit/UniqueResource.h"

struct SyncRequest;

class SynchronizedCalls {
 public:
  // How the calls post their wake-up to the user-interface thread: PostMessageA, or a stand-in
  // for tests that refuses as Windows does when the thread's queue is full.
  using PostFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

  SynchronizedCalls();
  ~SynchronizedCalls();

  // The calling thread is the user-interface thread from now on; the calls wake it by posting
  // `wakeUp` to `window`, whose procedure answers it with RunPending. Throws OSError.
  void Attach(HWND window, UINT wakeUp);
  void SetPostFunction(PostFunction post) { post_ = post ? post : &PostMessageA; }

  // For other threads: runs `step` on the user-interface thread (directly when called there) and
  // waits until it has run; false, without running it, once the loop has ended.
  bool Run(const std::function<void()>& step);
  // On the user-interface thread: the calls waiting now.
  void RunPending() noexcept;
  // The loop has ended: no call runs any more, and the waiting ones return.
  void Shutdown();
  // Waits for a kernel object. On the user-interface thread it serves the calls meanwhile: a
  // worker that is being waited for may be waiting for this thread itself.
  void WaitFor(HANDLE object);

 private:
  bool QueueWakeUp();

  HWND window_ = nullptr;
  UINT wakeUp_ = 0;
  DWORD uiThread_ = 0;
  std::atomic<bool> shuttingDown_{false};
  KernelHandle shutdownEvent_;
  // The calls waiting, oldest first, and whether the message that has them run is queued.
  CriticalSection pendingLock_;
  std::deque<std::shared_ptr<SyncRequest>> pending_;
  bool wakeUpQueued_ = false;
  PostFunction post_ = &PostMessageA;
};
