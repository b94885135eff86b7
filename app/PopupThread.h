// The waiting thread of the single-instance mechanism: each signal of the shared event, set by a
// refused copy, posts the window a message that brings this copy back. It never waits for the
// window's thread, so it ends whatever that one does; a posted message is served in modal loops too.
#pragma once

#include <windows.h>

#include <atomic>
#include <exception>

#include "base/UniqueResource.h"

class TPopupThread {
 public:
  // PostMessageA, or a stand-in for tests that refuses as Windows does when the queue is full.
  using PostFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

  // Once started, each signal of `peerEvent` posts `message` to `window`, again while the queue
  // refuses it. The event stays owned by the window, which stops this thread before it closes the
  // event. Throws OSError.
  TPopupThread(HANDLE peerEvent, HWND window, UINT message, PostFunction post = &PostMessageA);
  ~TPopupThread() { Stop(); }
  TPopupThread(const TPopupThread&) = delete;
  TPopupThread& operator=(const TPopupThread&) = delete;

  void Start();
  // Ends the wait without touching the shared event (signalling it would wake another copy) and
  // waits for the thread to end.
  void Stop();

  // On the window's thread, for each `message`: brings this copy back. An exception that ended
  // the thread is raised here instead, for the window's exception handling.
  void RestoreOnSignal();

 private:
  static DWORD WINAPI Entry(void* self);
  void Execute();

  HANDLE peerEvent_;
  HWND window_;
  UINT message_;
  PostFunction post_;
  KernelHandle stopEvent_;
  KernelHandle thread_;
  std::exception_ptr failure_;
  std::atomic<bool> failed_{false};
};
