// Frames per second over the last few seconds, for the live page.
#pragma once

#include <chrono>
#include <deque>

#include "tools/devicesim/FrameDecoder.h"

namespace devicesim {

class FrameRate {
 public:
  explicit FrameRate(Clock::duration window = std::chrono::seconds(5)) : window_(window) {}

  void Add(Clock::time_point at);
  // Falls towards zero while no frame arrives, and is zero once the window holds fewer than two.
  double PerSecond(Clock::time_point now);

 private:
  Clock::duration window_;
  std::deque<Clock::time_point> times_;
};

}  // namespace devicesim
