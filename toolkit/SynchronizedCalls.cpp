#include "toolkit/SynchronizedCalls.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

// One call. The waiting worker and the pending list share it, so it stays valid whichever of them
// lets go last, also when the message is handled late or never.
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

// How long a call waits before it tries again to post the message that has it run, when the
// queue refused it (Windows refuses posts to a queue that holds 10,000 messages).
constexpr DWORD kWakeUpRetryMs = 100;

// Takes the one state change that decides who owns the step: the user-interface thread runs it
// only if the worker has not given up, and the worker gives up only if it has not started.
bool Claim(SyncRequest& request, SyncRequest::State newState) {
  int expected = SyncRequest::Pending;
  return request.state.compare_exchange_strong(expected, newState);
}

void RunStep(const std::function<void()>& step) noexcept {
  try {
    step();
  } catch (...) {
    App().HandleException(std::current_exception());
  }
}

}  // namespace

SynchronizedCalls::SynchronizedCalls() = default;
SynchronizedCalls::~SynchronizedCalls() = default;

void SynchronizedCalls::Attach(HWND window, UINT wakeUp) {
  shutdownEvent_ = KernelHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!shutdownEvent_) RaiseLastOSError();
  window_ = window;
  wakeUp_ = wakeUp;
  uiThread_ = GetCurrentThreadId();
}

bool SynchronizedCalls::Run(const std::function<void()>& step) {
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
bool SynchronizedCalls::QueueWakeUp() {
  {
    const CriticalSection::Lock lock(pendingLock_);
    if (wakeUpQueued_) return true;
    wakeUpQueued_ = true;
  }
  if (post_(window_, wakeUp_, 0, 0)) return true;
  const CriticalSection::Lock lock(pendingLock_);
  wakeUpQueued_ = false;
  return false;
}

void SynchronizedCalls::RunPending() noexcept {
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

void SynchronizedCalls::Shutdown() {
  shuttingDown_ = true;
  SetEvent(shutdownEvent_.Get());
}

void SynchronizedCalls::WaitFor(HANDLE object) {
  if (GetCurrentThreadId() != uiThread_ || !window_) {
    WaitForSingleObject(object, INFINITE);
    return;
  }
  while (MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_POSTMESSAGE) ==
         WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageA(&message, window_, wakeUp_, wakeUp_, PM_REMOVE)) DispatchMessageA(&message);
  }
}
