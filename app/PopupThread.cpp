#include "app/PopupThread.h"

#include <utility>

#include "base/Errors.h"
#include "toolkit/Application.h"

namespace {

// How long the thread waits before it posts again a message that the queue refused (Windows
// refuses posts to a queue that holds 10,000 messages).
constexpr DWORD kRepostMs = 100;

}  // namespace

TPopupThread::TPopupThread(HANDLE peerEvent, HWND window, UINT message, PostFunction post)
    : peerEvent_(peerEvent),
      window_(window),
      message_(message),
      post_(post),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!stopEvent_) RaiseLastOSError();
}

void TPopupThread::Start() {
  DWORD id = 0;
  thread_ = KernelHandle(CreateThread(nullptr, 0, &Entry, this, 0, &id));
  if (!thread_) RaiseLastOSError();
}

void TPopupThread::Stop() {
  SetEvent(stopEvent_.Get());
  if (thread_) WaitForSingleObject(thread_.Get(), INFINITE);
  thread_.Reset();
}

DWORD WINAPI TPopupThread::Entry(void* self) {
  auto& thread = *static_cast<TPopupThread*>(self);
  try {
    thread.Execute();
  } catch (...) {
    // The window's thread raises it again, where the window's exception handling shows it. Posted
    // with the system's own call, which raises nothing, whatever the stand-in for tests does.
    thread.failure_ = std::current_exception();
    thread.failed_ = true;
    PostMessageA(thread.window_, thread.message_, 0, 0);
  }
  return 0;
}

void TPopupThread::Execute() {
  // The stop event comes first: when both are set, the stop wins and the peer's signal stays set
  // for whichever copy keeps running. A failed wait (a bad handle) would fail again at once: the
  // loop ends rather than spin.
  const HANDLE events[] = {stopEvent_.Get(), peerEvent_};
  while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    while (!post_(window_, message_, 0, 0))
      if (WaitForSingleObject(stopEvent_.Get(), kRepostMs) == WAIT_OBJECT_0) return;
  }
}

void TPopupThread::RestoreOnSignal() {
  if (failed_.exchange(false)) std::rethrow_exception(std::exchange(failure_, nullptr));
  App().Restore();
}
