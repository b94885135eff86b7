#include "toolkit/Timer.h"

#include <algorithm>
#include <vector>

#include "base/Errors.h"

namespace {

// Every timer of the window thread, and the id the next one gets.
std::vector<Timer*> timers;
UINT_PTR nextId = 1;

}  // namespace

Timer::Timer(HWND window) : window_(window), id_(nextId++) { timers.push_back(this); }

Timer::~Timer() {
  if (running_) KillTimer(window_, id_);
  std::erase(timers, this);
}

void Timer::SetInterval(UINT milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Update();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void Timer::Update() {
  if (running_) KillTimer(window_, id_);
  running_ = false;
  if (!enabled_ || interval_ == 0) return;
  if (!SetTimer(window_, id_, interval_, nullptr)) RaiseLastOSError();
  running_ = true;
}

bool Timer::Dispatch(HWND window, UINT_PTR id) {
  const auto found = std::find_if(timers.begin(), timers.end(), [window, id](const Timer* timer) {
    return timer->window_ == window && timer->id_ == id;
  });
  if (found == timers.end()) return false;
  // A tick may already wait in the queue when the timer is stopped.
  Timer& timer = **found;
  if (timer.running_ && timer.OnTimer) timer.OnTimer();
  return true;
}
