#include "tools/devicesim/Options.h"

#include <charconv>

namespace devicesim {
namespace {

unsigned PositiveNumber(std::string_view option, std::string_view text) {
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0) {
    throw UsageError(std::string(option) + " needs a positive number, not '" + std::string(text) + "'");
  }
  return value;
}

}  // namespace

const char* const kUsage =
    "usage: devicesim [--baud N] [--frames N | --once] [--plain] [--quiet] DEVICE\n"
    "Shows what the Dialvox load-indicator device would show, reading the serial line at DEVICE\n"
    "(a serial port such as /dev/ttyUSB0, or a pty link made by socat).\n"
    "  --baud N     line speed, 115200 by default (9600 for the one-channel device); a pty ignores it\n"
    "  --frames N   print the first N frames one per line, then exit\n"
    "  --once       the same as --frames 1\n"
    "  --plain      print every frame on its own line instead of the live page\n"
    "               (the default when standard output is not a terminal)\n"
    "  --quiet      no summary of good, bad and skipped on standard error at the end\n";

Options ParseOptions(std::span<const std::string_view> args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    const auto value = [&]() {
      if (i + 1 == args.size()) throw UsageError(std::string(arg) + " needs a value");
      return args[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--baud") {
      options.baud = PositiveNumber(arg, value());
    } else if (arg == "--frames") {
      options.frames = PositiveNumber(arg, value());
    } else if (arg == "--once") {
      options.frames = 1;
    } else if (arg == "--plain") {
      options.plain = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg.starts_with('-') && arg.size() > 1) {
      throw UsageError("unknown option " + std::string(arg));
    } else if (options.device.empty()) {
      options.device = arg;
    } else {
      throw UsageError("one device only");
    }
  }
  if (options.device.empty() && !options.help) throw UsageError("no device given");
  return options;
}

}  // namespace devicesim
