#include "toolkit/Thread.h"

#include <exception>

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

Thread::~Thread() = default;

void Thread::Start() {
  if (handle_) throw Error("Thread started twice");
  DWORD id = 0;
  const HANDLE thread = CreateThread(nullptr, 0, &Thread::Entry, this, 0, &id);
  if (!thread) RaiseLastOSError();
  handle_ = KernelHandle(thread);
}

void Thread::WaitFor() {
  if (handle_) App().WaitFor(handle_.Get());
}

bool Thread::Synchronize(const std::function<void()>& step) { return App().Synchronize(step); }

DWORD WINAPI Thread::Entry(void* self) {
  std::exception_ptr error;
  try {
    static_cast<Thread*>(self)->Execute();
  } catch (...) {
    error = std::current_exception();
  }
  if (!error) return 0;
  // Rethrown on the user-interface thread, whose exception handling shows it; dropped once the
  // application is shutting down.
  try {
    App().Synchronize([error] { std::rethrow_exception(error); });
  } catch (...) {
    // Out of resources while reporting: nothing is left that could tell anyone.
  }
  return 0;
}
