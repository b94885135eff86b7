#include "app/PopupThread.h"

#include "toolkit/Application.h"
#include "toolkit/Errors.h"

TPopupThread::TPopupThread(HANDLE peerEvent)
    : peerEvent_(peerEvent), stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  if (!stopEvent_) RaiseLastOSError();
}

TPopupThread::~TPopupThread() { Stop(); }

void TPopupThread::Stop() {
  Terminate();
  SetEvent(stopEvent_.Get());
  if (Handle()) WaitFor();
}

void TPopupThread::Execute() {
  // The stop event comes first: when both are set, the stop wins and the peer's signal stays set
  // for whichever copy keeps running.
  const HANDLE events[] = {stopEvent_.Get(), peerEvent_};
  while (!Terminated()) {
    const DWORD result = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    // A failed wait (a bad handle) would fail again at once: end rather than spin.
    if (result != WAIT_OBJECT_0 + 1 || Terminated()) break;
    Synchronize(&TPopupThread::RestoreOnSignal);
  }
}

void TPopupThread::RestoreOnSignal() { App().Restore(); }
