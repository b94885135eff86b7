#include "tools/devicesim/FrameRate.h"

#include <gtest/gtest.h>

namespace devicesim {
namespace {

using namespace std::chrono_literals;

TEST(FrameRate, CountsIntervalsAndFadesWhenFramesStop) {
  FrameRate rate;
  const Clock::time_point start = Clock::time_point{} + 1h;
  EXPECT_EQ(rate.PerSecond(start), 0.0);
  for (int i = 0; i <= 200; ++i) rate.Add(start + i * 50ms);
  const Clock::time_point last = start + 200 * 50ms;
  EXPECT_NEAR(rate.PerSecond(last), 20.0, 0.01) << "only the last five seconds count";
  EXPECT_NEAR(rate.PerSecond(last + 2500ms), 10.0, 0.3);
  EXPECT_EQ(rate.PerSecond(last + 6s), 0.0);
}

}  // namespace
}  // namespace devicesim
