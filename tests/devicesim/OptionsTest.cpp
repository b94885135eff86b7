#include "tools/devicesim/Options.h"

#include <gtest/gtest.h>

#include <vector>

namespace devicesim {
namespace {

Options Parse(std::vector<std::string_view> args) { return ParseOptions(args); }

TEST(Options, RejectsWhatItCannotUse) {
  const std::vector<std::vector<std::string_view>> cases{
      {}, {"--baud", "fast", "/tmp/dev"}, {"--frames", "0", "/tmp/dev"}, {"--frames", "3x", "/tmp/dev"},
      {"/tmp/dev", "--frames"}, {"--verbose", "/tmp/dev"}, {"/tmp/a", "/tmp/b"},
  };
  for (const auto& args : cases) EXPECT_THROW(Parse(args), UsageError) << testing::PrintToString(args);
}

}  // namespace
}  // namespace devicesim
