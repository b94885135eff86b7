// A worker thread. Its body never lets an exception escape: it goes to the application's
// exception handling on the user-interface thread instead.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "toolkit/UniqueResource.h"

class Thread {
 public:
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  // The thread must have ended (WaitFor).
  virtual ~Thread();

  void Start();
  // Only sets the flag; Execute looks at it.
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  HANDLE Handle() const { return handle_.Get(); }
  void WaitFor();

 protected:
  Thread() = default;
  virtual void Execute() = 0;
  // Runs `step` on the user-interface thread and waits for it; false, without running it, once
  // the application is shutting down.
  bool Synchronize(const std::function<void()>& step);

 private:
  static DWORD WINAPI Entry(void* self);

  std::atomic<bool> terminated_{false};
  KernelHandle handle_;
};
