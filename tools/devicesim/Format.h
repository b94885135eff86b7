// How one reading looks as text: the percentage the device's needle stands at, the bar that
// stands in for the needle, and the one-line form printed for scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/devicesim/FrameDecoder.h"

namespace devicesim {

// The channel byte as a percentage of full scale (byte / 2.55), two decimals: 128 gives "50.20".
std::string PercentText(std::uint8_t byte);

std::string_view KindName(FrameKind kind);

// `width` cells filled in proportion to the byte; with `unicode`, partly filled cells in eighths.
std::string GaugeBar(std::uint8_t byte, int width, bool unicode);

// "0.052 eight-channel 1:160=62.75% 2:0=0.00% ..." (time since the start in seconds); the
// one-byte mode lists channel 1 only.
std::string FrameLine(const Frame& frame, Clock::duration sinceStart);

// "good 3, bad 1, skipped 13 bytes"
std::string CountsText(const DecoderCounts& counts);

}  // namespace devicesim
