// The command line.
#pragma once

#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace devicesim {

struct Options {
  std::string device;
  unsigned baud = 115200;
  std::optional<unsigned> frames;  // print this many frames line by line, then exit
  bool plain = false;              // frames line by line instead of the live page
  bool quiet = false;              // no closing summary on stderr
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The arguments after the program name. Throws UsageError with a one-line reason.
Options ParseOptions(std::span<const std::string_view> args);

extern const char* const kUsage;

}  // namespace devicesim
