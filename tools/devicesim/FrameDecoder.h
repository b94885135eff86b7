// Turns the bytes that arrive on the device's line into what the device would show: the 11-byte
// eight-channel frames (0x11 0x22, eight channel bytes, their XOR), the two calibration frames and
// the single bytes of the old one-channel mode. It does no I/O; the caller feeds it what it reads,
// stamped with a monotonic clock, and tells it when the line has been quiet.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace devicesim {

using Clock = std::chrono::steady_clock;

inline constexpr std::size_t kChannelCount = 8;
inline constexpr std::size_t kFrameSize = 11;
inline constexpr std::uint8_t kHeader1 = 0x11;
inline constexpr std::uint8_t kHeader2 = 0x22;

enum class FrameKind { OneByte, EightChannel, Calibration100, Calibration0 };

struct Frame {
  FrameKind kind = FrameKind::EightChannel;
  // In the one-byte mode only channel 1 is sent; the others stay 0.
  std::array<std::uint8_t, kChannelCount> channels{};
  Clock::time_point receivedAt{};

  friend bool operator==(const Frame&, const Frame&) = default;
};

// Every byte fed ends up in exactly one place: 11 per good frame, 1 per one-byte reading, or skipped.
struct DecoderCounts {
  std::uint64_t good = 0;     // frames with a matching checksum, and one-byte readings
  std::uint64_t bad = 0;      // frames that started with the header but failed the checksum
  std::uint64_t skipped = 0;  // bytes that are part of no good frame or reading

  friend bool operator==(const DecoderCounts&, const DecoderCounts&) = default;
};

class FrameDecoder {
 public:
  // A frame's bytes follow each other within a millisecond at 115200 baud, and a USB adapter may
  // hold part of one back for its 16 ms latency timer; the one-byte mode writes at most every 50 ms.
  // A quiet spell between the two tells a lone byte from the start of a frame.
  static constexpr Clock::duration kDefaultIdleGap = std::chrono::milliseconds(25);

  explicit FrameDecoder(Clock::duration idleGap = kDefaultIdleGap);

  // Bytes read at `now`. Returns the frames they complete, in line order.
  std::vector<Frame> Feed(std::span<const std::uint8_t> bytes, Clock::time_point now);
  // Nothing has arrived up to `now`: a burst that has been quiet for the idle gap is over.
  std::vector<Frame> Idle(Clock::time_point now);
  // The input has ended: whatever is still open is over.
  std::vector<Frame> Finish();
  // When Idle has something to decide, if nothing arrives before then.
  std::optional<Clock::time_point> Deadline() const;

  const DecoderCounts& Counts() const { return counts_; }

 private:
  void CloseBurst(std::vector<Frame>& out);
  void Parse(Clock::time_point now, std::vector<Frame>& out);

  Clock::duration idleGap_;
  std::vector<std::uint8_t> pending_;  // bytes not yet placed in a frame or skipped
  std::size_t burstLength_ = 0;        // bytes since the line was last quiet
  Clock::time_point lastByteAt_{};
  DecoderCounts counts_;
};

}  // namespace devicesim
