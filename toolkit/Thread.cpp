#include "toolkit/Thread.h"

#include <exception>

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

Thread::~Thread() = default;

void Thread::Start() {
  if (handle_) throw Error("Thread started twice");
  DWORD id = 0;
  // Suspended until the handle is stored: a thread that frees itself may be gone the moment it runs.
  const HANDLE thread = CreateThread(nullptr, 0, &Thread::Entry, this, CREATE_SUSPENDED, &id);
  if (!thread) RaiseLastOSError();
  handle_ = ::Handle(thread);
  ResumeThread(thread);
}

void Thread::WaitFor() {
  if (handle_) App().WaitFor(handle_.Get());
}

bool Thread::Synchronize(const std::function<void()>& step) { return App().Synchronize(step); }

DWORD WINAPI Thread::Entry(void* self) {
  auto* thread = static_cast<Thread*>(self);
  try {
    thread->Execute();
  } catch (...) {
    App().PostException(std::current_exception());
  }
  if (thread->FreeOnTerminate) delete thread;
  return 0;
}
