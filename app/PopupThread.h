// The waiting thread of the single-instance mechanism: each signal of the shared event, set by a
// copy that was refused, has the user-interface thread bring this copy back.
#pragma once

#include <windows.h>

#include "toolkit/UniqueResource.h"
#include "toolkit/Thread.h"

class TPopupThread : public Thread {
 public:
  // `peerEvent` stays owned by the window, which stops this thread before it closes the event.
  explicit TPopupThread(HANDLE peerEvent);
  ~TPopupThread() override;

  // Ends the wait without touching the shared event (signalling it would wake another copy) and
  // waits for the thread to finish. Safe while a restore is in flight: once the message loop has
  // ended, the synchronised call returns without running.
  void Stop();

 protected:
  void Execute() override;

 private:
  static void RestoreOnSignal();

  HANDLE peerEvent_;
  KernelHandle stopEvent_;
};
