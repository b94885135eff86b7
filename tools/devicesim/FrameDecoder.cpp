#include "tools/devicesim/FrameDecoder.h"

#include <algorithm>
#include <functional>
#include <numeric>

namespace devicesim {
namespace {

// The fixed frames of the calibration modes carry these in every channel.
FrameKind KindOf(const std::array<std::uint8_t, kChannelCount>& channels) {
  const auto all = [&](std::uint8_t value) {
    return std::all_of(channels.begin(), channels.end(), [=](std::uint8_t c) { return c == value; });
  };
  if (all(0xFF)) return FrameKind::Calibration100;
  if (all(0x00)) return FrameKind::Calibration0;
  return FrameKind::EightChannel;
}

}  // namespace

FrameDecoder::FrameDecoder(Clock::duration idleGap) : idleGap_(idleGap) {}

std::vector<Frame> FrameDecoder::Feed(std::span<const std::uint8_t> bytes, Clock::time_point now) {
  std::vector<Frame> out = Idle(now);
  if (bytes.empty()) return out;
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  burstLength_ += bytes.size();
  lastByteAt_ = now;
  Parse(now, out);
  return out;
}

std::vector<Frame> FrameDecoder::Idle(Clock::time_point now) {
  std::vector<Frame> out;
  if (burstLength_ > 0 && now - lastByteAt_ >= idleGap_) CloseBurst(out);
  return out;
}

std::vector<Frame> FrameDecoder::Finish() {
  std::vector<Frame> out;
  if (burstLength_ > 0) CloseBurst(out);
  return out;
}

std::optional<Clock::time_point> FrameDecoder::Deadline() const {
  if (burstLength_ == 0) return std::nullopt;
  return lastByteAt_ + idleGap_;
}

// A burst of exactly one byte is the old device's reading. Anything else left over when the line
// goes quiet is a frame cut short or noise.
void FrameDecoder::CloseBurst(std::vector<Frame>& out) {
  if (burstLength_ == 1 && pending_.size() == 1) {
    Frame reading{FrameKind::OneByte, {}, lastByteAt_};
    reading.channels[0] = pending_[0];
    out.push_back(reading);
    ++counts_.good;
  } else {
    counts_.skipped += pending_.size();
  }
  pending_.clear();
  burstLength_ = 0;
}

void FrameDecoder::Parse(Clock::time_point now, std::vector<Frame>& out) {
  // The first byte of a burst may yet turn out to be a one-byte reading, even when it is not 0x11.
  if (burstLength_ < 2) return;

  // A 0x11 as the last byte pending may be the first half of a header, so it is kept.
  const auto nextHeader = [this](std::size_t from) {
    for (std::size_t i = from; i < pending_.size(); ++i) {
      if (pending_[i] == kHeader1 && (i + 1 == pending_.size() || pending_[i + 1] == kHeader2)) return i;
    }
    return pending_.size();
  };

  std::size_t pos = 0;
  for (;;) {
    const std::size_t header = nextHeader(pos);
    counts_.skipped += header - pos;
    pos = header;
    if (pending_.size() - pos < kFrameSize) break;

    const auto data = pending_.begin() + static_cast<std::ptrdiff_t>(pos) + 2;
    std::array<std::uint8_t, kChannelCount> channels;
    std::copy_n(data, kChannelCount, channels.begin());
    const std::uint8_t checksum = std::reduce(channels.begin(), channels.end(), std::uint8_t{0}, std::bit_xor<>());
    if (checksum == data[kChannelCount]) {
      out.push_back(Frame{KindOf(channels), channels, now});
      ++counts_.good;
      pos += kFrameSize;
    } else {
      // The real next frame may begin inside this one (after a lost byte it usually does), so the
      // search goes on from the byte after this header rather than after all eleven.
      ++counts_.bad;
      ++counts_.skipped;
      ++pos;
    }
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
}

}  // namespace devicesim
