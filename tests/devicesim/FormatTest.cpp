#include "tools/devicesim/Format.h"
#include "tools/devicesim/Page.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace devicesim {
namespace {

using namespace std::chrono_literals;

TEST(Format, PercentIsTheByteOver255RoundedToHundredths) {
  const std::vector<std::pair<std::uint8_t, std::string>> cases{
      {0, "0.00"}, {1, "0.39"}, {3, "1.18"}, {32, "12.55"}, {128, "50.20"}, {254, "99.61"}, {255, "100.00"}};
  for (const auto& [byte, text] : cases) EXPECT_EQ(PercentText(byte), text) << unsigned{byte};
}

std::size_t CodePoints(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

TEST(Format, GaugeBarKeepsItsWidthAndFillsInProportion) {
  for (const bool unicode : {false, true}) {
    for (int byte = 0; byte <= 255; ++byte) {
      ASSERT_EQ(CodePoints(GaugeBar(static_cast<std::uint8_t>(byte), 10, unicode)), 10u)
          << "byte " << byte << (unicode ? " unicode" : " ascii");
    }
  }
  EXPECT_EQ(GaugeBar(0, 10, false), "..........");
  EXPECT_EQ(GaugeBar(128, 10, false), "#####.....");
  EXPECT_EQ(GaugeBar(255, 10, false), "##########");
  EXPECT_EQ(GaugeBar(255, 2, true), "\xE2\x96\x88\xE2\x96\x88");
  EXPECT_EQ(GaugeBar(32, 4, true), "\xE2\x96\x8C   ") << "four eighths of one cell";
}

TEST(Format, FrameLineListsTheChannelsTheModeCarries) {
  const Frame eight{FrameKind::EightChannel, {255, 128, 0, 1, 2, 3, 4, 32}, {}};
  EXPECT_EQ(FrameLine(eight, 1234ms),
            "1.234 eight-channel 1:255=100.00% 2:128=50.20% 3:0=0.00% 4:1=0.39% 5:2=0.78% 6:3=1.18% 7:4=1.57% "
            "8:32=12.55%");
  const Frame one{FrameKind::OneByte, {32}, {}};
  EXPECT_EQ(FrameLine(one, 50ms), "0.050 one-byte 1:32=12.55%");
}

TEST(Page, ShowsTheModeAndOnlyTheChannelsTheLineCarries) {
  const Clock::time_point now = Clock::time_point{} + 10s;
  PageState state{"/dev/ttyUSB0", 9600, std::nullopt, {}, 0.0, now, false};
  EXPECT_THAT(RenderPage(state), testing::AllOf(testing::HasSubstr("/dev/ttyUSB0, 9600 baud"),
                                                testing::HasSubstr("waiting for data"),
                                                testing::HasSubstr("no frame yet")));

  state.last = Frame{FrameKind::OneByte, {128}, now - 250ms};
  state.counts = {7, 2, 5};
  state.framesPerSecond = 4.0;
  const std::string page = RenderPage(state);
  EXPECT_THAT(page, testing::HasSubstr("mode: one-byte"));
  EXPECT_THAT(page, testing::HasSubstr(" 1 [####################....................]  50.20 %  128\n"));
  EXPECT_THAT(page, testing::HasSubstr(" 2 [                                        ]      - %    -\n"));
  EXPECT_THAT(page, testing::HasSubstr("good 7, bad 2, skipped 5 bytes, 4.0 frames/s, last frame 0.25 s ago"));
}

}  // namespace
}  // namespace devicesim
