#include "toolkit/Timer.h"

#include "base/Errors.h"

Timer::~Timer() {
  if (running_) KillTimer(window_, id_);
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
