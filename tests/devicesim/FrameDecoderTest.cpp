#include "tools/devicesim/FrameDecoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace devicesim {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Channels = std::array<std::uint8_t, kChannelCount>;

const Clock::time_point kStart = Clock::time_point{} + 1h;

Bytes FrameBytes(const Channels& channels) {
  Bytes bytes{kHeader1, kHeader2};
  bytes.insert(bytes.end(), channels.begin(), channels.end());
  bytes.push_back(std::accumulate(channels.begin(), channels.end(), std::uint8_t{0},
                                  [](std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>(a ^ b); }));
  return bytes;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Channels kA{1, 2, 3, 4, 5, 6, 7, 8};
const Channels kB{200, 150, 100, 50, 25, 12, 6, 3};
const Channels kC{0, 0, 0, 0, 0, 0, 0, 0x5A};
// Header bytes inside the data, where a decoder out of step could take them for a frame's start.
const Channels kHeaderInData{5, kHeader1, kHeader2, 7, kHeader1, 9, kHeader2, 10};

// Feeds a decoder and keeps what it returns. Every byte fed must end up in a good frame, a one-byte
// reading or the skipped count, which Close checks once the input is over.
struct Line {
  FrameDecoder decoder;
  std::vector<Frame> frames;
  std::uint64_t fed = 0;

  void Feed(const Bytes& bytes, Clock::time_point at) {
    fed += bytes.size();
    Keep(decoder.Feed(bytes, at));
  }
  void Idle(Clock::time_point at) { Keep(decoder.Idle(at)); }
  void Close() {
    Keep(decoder.Finish());
    std::uint64_t placed = decoder.Counts().skipped;
    for (const Frame& frame : frames) placed += frame.kind == FrameKind::OneByte ? 1 : kFrameSize;
    EXPECT_EQ(placed, fed) << "bytes lost or counted twice";
    EXPECT_EQ(decoder.Counts().good, frames.size());
  }
  std::vector<Channels> ChannelsSeen() const {
    std::vector<Channels> seen;
    for (const Frame& frame : frames) seen.push_back(frame.channels);
    return seen;
  }

 private:
  void Keep(const std::vector<Frame>& more) { frames.insert(frames.end(), more.begin(), more.end()); }
};

TEST(FrameDecoder, DecodesEveryKindOfFrameAsSoonAsItIsComplete) {
  struct Case {
    Channels channels;
    FrameKind kind;
  };
  const std::vector<Case> cases{
      {kA, FrameKind::EightChannel},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, FrameKind::Calibration100},
      {{0, 0, 0, 0, 0, 0, 0, 0}, FrameKind::Calibration0},
      {kC, FrameKind::EightChannel},
      {kHeaderInData, FrameKind::EightChannel},
      {{0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, FrameKind::EightChannel},  // checksum 0x00, yet no calibration
  };
  Line line;
  Bytes stream;
  for (const Case& c : cases) stream = Join({stream, FrameBytes(c.channels)});
  line.Feed(stream, kStart);

  ASSERT_EQ(line.frames.size(), cases.size()) << "frames must not wait for the line to go quiet";
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(line.frames[i], (Frame{cases[i].kind, cases[i].channels, kStart})) << "frame " << i;
  }
  line.Close();
  EXPECT_EQ(line.decoder.Counts(), (DecoderCounts{cases.size(), 0, 0}));
}

TEST(FrameDecoder, JoinsFramesSplitAcrossReads) {
  const Bytes stream = Join({FrameBytes(kHeaderInData), FrameBytes(kA)});
  for (std::size_t split = 1; split < stream.size(); ++split) {
    SCOPED_TRACE("split at " + std::to_string(split));
    Line line;
    line.Feed(Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(split)), kStart);
    line.Feed(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(split), stream.end()), kStart + 1ms);
    line.Close();
    EXPECT_THAT(line.ChannelsSeen(), testing::ElementsAre(kHeaderInData, kA));
    EXPECT_EQ(line.decoder.Counts().skipped, 0u);
  }

  Line byteByByte;
  for (std::size_t i = 0; i < stream.size(); ++i) byteByByte.Feed({stream[i]}, kStart + i * 1ms);
  byteByByte.Close();
  EXPECT_THAT(byteByByte.ChannelsSeen(), testing::ElementsAre(kHeaderInData, kA));
}

TEST(FrameDecoder, ResynchronisesOnTheNextHeader) {
  Bytes badChecksum = FrameBytes(kB);
  badChecksum.back() ^= 0x40;
  Bytes badChannel = FrameBytes(kB);
  badChannel[5] ^= 0x01;
  const Bytes headerInDataFrame = FrameBytes(kHeaderInData);
  // Joining the line in the middle of a frame whose data holds 0x11 0x22.
  const Bytes tailWithHeader(headerInDataFrame.begin() + 3, headerInDataFrame.end());

  struct Case {
    std::string name;
    Bytes stream;
    std::vector<Channels> expected;
    DecoderCounts counts;
  };
  const std::vector<Case> cases{
      {"garbage before", Join({{0x00, 0xFF, 0x22, 0x33}, FrameBytes(kA)}), {kA}, {1, 0, 4}},
      {"garbage between", Join({FrameBytes(kA), {0x22, 0x11, 0x05}, FrameBytes(kB)}), {kA, kB}, {2, 0, 3}},
      {"stray 0x11 right before a header", Join({FrameBytes(kA), {0x11}, FrameBytes(kB)}), {kA, kB}, {2, 0, 1}},
      {"header twice", Join({{0x11, 0x22}, FrameBytes(kA)}), {kA}, {1, 1, 2}},
      {"bad checksum", Join({FrameBytes(kA), badChecksum, FrameBytes(kC)}), {kA, kC}, {2, 1, 11}},
      {"bad channel byte", Join({FrameBytes(kA), badChannel, FrameBytes(kC)}), {kA, kC}, {2, 1, 11}},
      {"joined mid-frame", Join({tailWithHeader, FrameBytes(kA), FrameBytes(kB)}), {kA, kB}, {2, 1, 8}},
      {"garbage after", Join({FrameBytes(kA), {0x11, 0x22, 0x01}}), {kA}, {1, 0, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Line line;
    line.Feed(c.stream, kStart);
    line.Close();
    EXPECT_EQ(line.ChannelsSeen(), c.expected);
    EXPECT_EQ(line.decoder.Counts(), c.counts);
  }
}

TEST(FrameDecoder, LostByteCostsOnlyTheFrameItWasIn) {
  const Bytes damagedFrom = FrameBytes(kA);
  for (std::size_t lost = 0; lost < kFrameSize; ++lost) {
    SCOPED_TRACE("byte " + std::to_string(lost) + " lost");
    Bytes damaged = damagedFrom;
    damaged.erase(damaged.begin() + static_cast<std::ptrdiff_t>(lost));

    // Back to back: the damaged frame reaches into the next one, whose header must survive.
    Line line;
    line.Feed(Join({damaged, FrameBytes(kB), FrameBytes(kC)}), kStart);
    line.Close();
    EXPECT_EQ(line.ChannelsSeen(), (std::vector<Channels>{kB, kC}));
    EXPECT_EQ(line.decoder.Counts(), (DecoderCounts{2, lost >= 2 ? 1u : 0u, kFrameSize - 1}));

    // With a quiet spell after it: the rest of the damaged frame is dropped when the line goes quiet.
    Line paced;
    paced.Feed(damaged, kStart);
    paced.Feed(FrameBytes(kB), kStart + 50ms);
    paced.Close();
    EXPECT_EQ(paced.ChannelsSeen(), (std::vector<Channels>{kB}));
    EXPECT_EQ(paced.decoder.Counts(), (DecoderCounts{1, 0, kFrameSize - 1}));
  }
}

TEST(FrameDecoder, LoneByteAfterQuietIsTheOneChannelReading) {
  Line line;
  const Bytes values{0x20, kHeader1, 0xFF, kHeader2, 0x00};
  for (std::size_t i = 0; i < values.size(); ++i) line.Feed({values[i]}, kStart + i * 50ms);

  const Clock::time_point last = kStart + (values.size() - 1) * 50ms;
  EXPECT_EQ(line.decoder.Deadline(), last + FrameDecoder::kDefaultIdleGap);
  line.Idle(last + FrameDecoder::kDefaultIdleGap - 1ms);
  EXPECT_EQ(line.frames.size(), values.size() - 1) << "decided before the line went quiet";
  line.Idle(last + FrameDecoder::kDefaultIdleGap);
  EXPECT_EQ(line.decoder.Deadline(), std::nullopt);

  ASSERT_EQ(line.frames.size(), values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    Frame expected{FrameKind::OneByte, {}, kStart + i * 50ms};
    expected.channels[0] = values[i];
    EXPECT_EQ(line.frames[i], expected) << "reading " << i;
  }
  line.Close();
}

TEST(FrameDecoder, ByteFollowedSoonByMoreIsNoReading) {
  struct Case {
    std::string name;
    std::vector<Bytes> reads;  // 5 ms apart, well within the idle gap
    std::vector<FrameKind> kinds;
    std::uint64_t skipped;
  };
  const Bytes frame = FrameBytes(kA);
  const std::vector<Case> cases{
      {"0x11 then the rest of a frame", {{frame[0]}, Bytes(frame.begin() + 1, frame.end())}, {FrameKind::EightChannel}, 0},
      {"noise of two bytes", {{0x05}, {0x06}}, {}, 2},
      {"byte straight after a frame", {frame, {0x40}}, {FrameKind::EightChannel}, 1},
      {"frame cut short", {Bytes(frame.begin(), frame.begin() + 6)}, {}, 6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Line line;
    for (std::size_t i = 0; i < c.reads.size(); ++i) line.Feed(c.reads[i], kStart + i * 5ms);
    line.Idle(kStart + 1s);
    std::vector<FrameKind> kinds;
    for (const Frame& f : line.frames) kinds.push_back(f.kind);
    EXPECT_EQ(kinds, c.kinds);
    EXPECT_EQ(line.decoder.Counts().skipped, c.skipped);
    line.Close();
  }
}

TEST(FrameDecoder, SwitchesBetweenModesAcrossQuietSpells) {
  Line line;
  line.Feed(FrameBytes(kA), kStart);
  line.Feed({0x40}, kStart + 50ms);
  line.Feed(FrameBytes(kB), kStart + 100ms);
  line.Close();
  ASSERT_EQ(line.frames.size(), 3u);
  EXPECT_EQ(line.frames[0].kind, FrameKind::EightChannel);
  EXPECT_EQ(line.frames[1].kind, FrameKind::OneByte);
  EXPECT_EQ(line.frames[1].channels[0], 0x40);
  EXPECT_EQ(line.frames[2].channels, kB);
}

}  // namespace
}  // namespace devicesim
