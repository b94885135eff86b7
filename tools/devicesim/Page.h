// The live page: what the device would show now, and how well the line is doing.
#pragma once

#include <optional>
#include <string>

#include "tools/devicesim/FrameDecoder.h"

namespace devicesim {

struct PageState {
  std::string device;
  unsigned baud = 0;
  std::optional<Frame> last;
  DecoderCounts counts;
  double framesPerSecond = 0.0;
  Clock::time_point now{};
  bool unicode = false;
};

// Plain text, one line per row ending in '\n'; the terminal code places it on the screen.
std::string RenderPage(const PageState& state);

}  // namespace devicesim
