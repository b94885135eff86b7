// A window timer of a form: WM_TIMER never queues a second tick while one is waiting, so a slow
// handler simply skips ticks.
#pragma once

#include <windows.h>

#include <functional>

class Form;

class Timer {
 public:
  // Disabled, 1000 ms.
  explicit Timer(Form& owner);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // 0 stops the timer; a new interval while enabled starts the period afresh.
  void SetInterval(UINT milliseconds);
  void SetEnabled(bool enabled);

  std::function<void()> OnTimer;

 private:
  friend class Form;
  void Tick();
  void Update();

  Form& owner_;
  UINT_PTR id_;
  UINT interval_ = 1000;
  bool enabled_ = false;
  bool running_ = false;
};
