#include "tools/devicesim/Options.h"

#include <gtest/gtest.h>

#include <vector>

namespace devicesim {
namespace {

Options Parse(std::vector<std::string_view> args) { return ParseOptions(args); }

TEST(Options, ReadsDeviceRateAndOutputChoices) {
  const Options defaults = Parse({"/tmp/dev"});
  EXPECT_EQ(defaults.device, "/tmp/dev");
  EXPECT_EQ(defaults.baud, 115200u);
  EXPECT_FALSE(defaults.frames);
  EXPECT_FALSE(defaults.plain);

  const Options all = Parse({"--baud", "9600", "--frames", "3", "--plain", "--quiet", "/dev/ttyUSB0"});
  EXPECT_EQ(all.device, "/dev/ttyUSB0");
  EXPECT_EQ(all.baud, 9600u);
  EXPECT_EQ(all.frames, 3u);
  EXPECT_TRUE(all.plain);
  EXPECT_TRUE(all.quiet);

  EXPECT_EQ(Parse({"/tmp/dev", "--once"}).frames, 1u);
  EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(Options, RejectsWhatItCannotUse) {
  const std::vector<std::vector<std::string_view>> cases{
      {}, {"--baud", "fast", "/tmp/dev"}, {"--frames", "0", "/tmp/dev"}, {"--frames", "3x", "/tmp/dev"},
      {"/tmp/dev", "--frames"}, {"--verbose", "/tmp/dev"}, {"/tmp/a", "/tmp/b"},
  };
  for (const auto& args : cases) EXPECT_THROW(Parse(args), UsageError) << testing::PrintToString(args);
}

}  // namespace
}  // namespace devicesim
