#include "app/DeviceFrame.h"

#include <gtest/gtest.h>

namespace {

struct FrameCase {
  const char* what;
  int mode;
  DeviceFrame channels;  // bytes 2..9 set, the rest as a cycle leaves them
  DeviceFrame expected;
};

const FrameCase kCases[] = {
    {"channels 1..8 XOR to 8", wmEightChannel,
     {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0},
     {0x11, 0x22, 1, 2, 3, 4, 5, 6, 7, 8, 0x08}},
    {"eight 0xFF XOR to 0", wmEightChannel,
     {0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0},
     {0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
    {"only channel 8", wmEightChannel,
     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x5A, 0},
     {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0x5A, 0x5A}},
    {"full scale ignores the channels", wmFullScale,
     {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0},
     {0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
    {"zero scale ignores the channels", wmZeroScale,
     {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 0},
     {0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
};

TEST(DeviceFrame, HeaderCalibrationFillAndChecksum) {
  for (const auto& c : kCases) {
    DeviceFrame frame = c.channels;
    CompleteFrame(frame, c.mode);
    EXPECT_EQ(frame, c.expected) << c.what;
  }
}

}  // namespace
