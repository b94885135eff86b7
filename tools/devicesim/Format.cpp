#include "tools/devicesim/Format.h"

#include <cstdio>

namespace devicesim {

std::string PercentText(std::uint8_t byte) {
  // In hundredths, rounded, in integers: byte * 10000 / 255 never falls on a half.
  const unsigned hundredths = (byte * 10000u + 127u) / 255u;
  char text[16];
  std::snprintf(text, sizeof text, "%u.%02u", hundredths / 100, hundredths % 100);
  return text;
}

std::string_view KindName(FrameKind kind) {
  switch (kind) {
    case FrameKind::OneByte: return "one-byte";
    case FrameKind::EightChannel: return "eight-channel";
    case FrameKind::Calibration100: return "calibration-100%";
    case FrameKind::Calibration0: return "calibration-0%";
  }
  return "?";
}

std::string GaugeBar(std::uint8_t byte, int width, bool unicode) {
  constexpr int kSteps = 8;
  // UTF-8 spelled out in bytes: the source character set of this tree is not the terminal's.
  static const char* const kPartial[kSteps] = {
      "", "\xE2\x96\x8F", "\xE2\x96\x8E", "\xE2\x96\x8D", "\xE2\x96\x8C", "\xE2\x96\x8B", "\xE2\x96\x8A", "\xE2\x96\x89"};
  static const char* const kFull = "\xE2\x96\x88";

  const int steps = unicode ? kSteps : 1;
  const int filled = (byte * width * steps + 127) / 255;
  std::string bar;
  for (int i = 0; i < filled / steps; ++i) bar += unicode ? kFull : "#";
  int cells = filled / steps;
  if (filled % steps != 0) {
    bar += kPartial[filled % steps];
    ++cells;
  }
  bar.append(static_cast<std::size_t>(width - cells), unicode ? ' ' : '.');
  return bar;
}

std::string FrameLine(const Frame& frame, Clock::duration sinceStart) {
  char head[48];
  std::snprintf(head, sizeof head, "%.3f ", std::chrono::duration<double>(sinceStart).count());
  std::string line = head;
  line += KindName(frame.kind);
  const std::size_t shown = frame.kind == FrameKind::OneByte ? 1 : kChannelCount;
  for (std::size_t i = 0; i < shown; ++i) {
    line += ' ' + std::to_string(i + 1) + ':' + std::to_string(frame.channels[i]) + '=' +
            PercentText(frame.channels[i]) + '%';
  }
  return line;
}

std::string CountsText(const DecoderCounts& counts) {
  return "good " + std::to_string(counts.good) + ", bad " + std::to_string(counts.bad) + ", skipped " +
         std::to_string(counts.skipped) + " bytes";
}

}  // namespace devicesim
