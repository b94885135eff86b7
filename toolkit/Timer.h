// A window timer: WM_TIMER never queues a second tick while one is waiting, so a slow handler simply
// skips ticks. The window routes its WM_TIMER messages by Fires.
#pragma once

#include <windows.h>

class Timer {
 public:
  // Disabled, 1000 ms, ticking on `window` with the timer id `id`.
  Timer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // 0 stops the timer; a new interval while enabled starts the period afresh.
  void SetInterval(UINT milliseconds);
  void SetEnabled(bool enabled);

  // Whether a WM_TIMER of `id` is this timer's tick: not when it is stopped (a tick may wait in the
  // queue then), nor for another id (one that another program posted).
  bool Fires(UINT_PTR id) const { return running_ && id == id_; }

 private:
  void Update();

  HWND window_;
  UINT_PTR id_;
  UINT interval_ = 1000;
  bool enabled_ = false;
  bool running_ = false;
};
