#include "tools/devicesim/FrameRate.h"

namespace devicesim {

void FrameRate::Add(Clock::time_point at) { times_.push_back(at); }

double FrameRate::PerSecond(Clock::time_point now) {
  while (!times_.empty() && now - times_.front() > window_) times_.pop_front();
  if (times_.size() < 2) return 0.0;
  // Intervals, not frames, over the time since the oldest one: exact right after a frame, and
  // dropping when the frames stop instead of holding the last figure.
  const std::chrono::duration<double> span = now - times_.front();
  return static_cast<double>(times_.size() - 1) / span.count();
}

}  // namespace devicesim
