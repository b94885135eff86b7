// A window timer: WM_TIMER never queues a second tick while one is waiting, so a slow handler simply
// skips ticks. The window's procedure hands its WM_TIMER messages to Dispatch.
#pragma once

#include <windows.h>

#include <functional>

class Timer {
 public:
  // Disabled, 1000 ms, ticking on `window`.
  explicit Timer(HWND window);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // 0 stops the timer; a new interval while enabled starts the period afresh.
  void SetInterval(UINT milliseconds);
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

  // Runs the tick of the timer of `window` that `id` names; false when there is none (a WM_TIMER
  // that some other program posted).
  static bool Dispatch(HWND window, UINT_PTR id);

 private:
  void Update();

  HWND window_;
  UINT_PTR id_;
  UINT interval_ = 1000;
  bool enabled_ = false;
  bool running_ = false;
};
