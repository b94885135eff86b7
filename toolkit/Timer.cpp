#include "toolkit/Timer.h"

#include "toolkit/Errors.h"
#include "toolkit/Form.h"

Timer::Timer(Form& owner) : owner_(owner), id_(owner.AddTimer(*this)) {}

Timer::~Timer() {
  if (running_) KillTimer(owner_.Handle(), id_);
  owner_.RemoveTimer(*this);
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
  if (running_) KillTimer(owner_.Handle(), id_);
  running_ = false;
  if (!enabled_ || interval_ == 0) return;
  if (!SetTimer(owner_.Handle(), id_, interval_, nullptr)) RaiseLastOSError();
  running_ = true;
}

void Timer::Tick() {
  // A tick may already wait in the queue when the timer is stopped.
  if (running_ && OnTimer) OnTimer();
}
