// devicesim: reads the far end of Dialvox's serial line and shows what the load-indicator device
// would show, live in the terminal or as one line per frame.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>
#include <vector>

#include "tools/devicesim/Format.h"
#include "tools/devicesim/FrameDecoder.h"
#include "tools/devicesim/FrameRate.h"
#include "tools/devicesim/Options.h"
#include "tools/devicesim/Page.h"
#include "tools/devicesim/SerialLine.h"
#include "tools/devicesim/Terminal.h"

namespace devicesim {
namespace {

constexpr auto kRedrawPeriod = std::chrono::milliseconds(100);

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) { stopRequested = 1; }

// Ctrl+C and SIGTERM only set a flag. They stay blocked except inside ppoll, so one that comes
// between the check of the flag and the wait still ends the wait.
class StopSignals {
 public:
  StopSignals() {
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : {SIGINT, SIGTERM}) {
      ::sigaction(signal, &action, nullptr);
      sigaddset(&blocked, signal);
    }
    ::sigprocmask(SIG_BLOCK, &blocked, &waitMask_);
  }
  const sigset_t* WaitMask() const { return &waitMask_; }

 private:
  sigset_t waitMask_;
};

// Waits until the line has something to read or `wake` passes; false when interrupted by a signal.
bool WaitForLine(int fd, std::optional<Clock::time_point> wake, const StopSignals& signals) {
  pollfd entry{fd, POLLIN, 0};
  timespec timeout{};
  if (wake) {
    const auto left = std::max(Clock::duration::zero(), *wake - Clock::now());
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    timeout.tv_sec = seconds.count();
    timeout.tv_nsec = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count();
  }
  if (::ppoll(&entry, 1, wake ? &timeout : nullptr, signals.WaitMask()) >= 0) return true;
  if (errno == EINTR) return false;
  throw LineError(std::string("poll failed: ") + std::strerror(errno));
}

int Run(const Options& options) {
  const StopSignals signals;
  SerialLine line(options.device, options.baud);
  const bool live = !options.plain && !options.frames && StdoutIsTerminal();
  std::optional<TerminalScreen> screen;
  if (live) screen.emplace();

  PageState page{options.device, options.baud, std::nullopt, {}, 0.0, {}, live && TerminalSpeaksUtf8()};
  FrameDecoder decoder;
  FrameRate rate;
  const Clock::time_point start = Clock::now();
  Clock::time_point nextDraw = start;
  unsigned printed = 0;
  bool ended = false;
  bool enough = false;
  std::array<std::uint8_t, 4096> buffer;

  while (!stopRequested && !ended && !enough) {
    std::optional<Clock::time_point> wake = decoder.Deadline();
    if (live) wake = std::min(wake.value_or(nextDraw), nextDraw);
    if (!WaitForLine(line.Descriptor(), wake, signals)) continue;

    const Clock::time_point now = Clock::now();
    // Reading when poll saw nothing costs one EAGAIN and keeps this loop in one shape.
    const std::optional<std::size_t> count = line.Read(buffer);
    ended = !count;
    const std::vector<Frame> frames =
        ended ? decoder.Finish() : decoder.Feed(std::span(buffer.data(), *count), now);

    for (const Frame& frame : frames) {
      rate.Add(frame.receivedAt);
      page.last = frame;
      if (!live) {
        std::printf("%s\n", FrameLine(frame, frame.receivedAt - start).c_str());
        std::fflush(stdout);
        if (options.frames && ++printed == *options.frames) {
          enough = true;
          break;
        }
      }
    }
    if (live && now >= nextDraw) {
      page.counts = decoder.Counts();
      page.framesPerSecond = rate.PerSecond(now);
      page.now = now;
      screen->Draw(RenderPage(page));
      nextDraw = now + kRedrawPeriod;
    }
  }
  screen.reset();

  if (!options.quiet) std::fprintf(stderr, "devicesim: %s\n", CountsText(decoder.Counts()).c_str());
  if (options.frames && !enough) {
    std::fprintf(stderr, "devicesim: %s after %u of %u frames\n", ended ? "the line ended" : "stopped", printed,
                 *options.frames);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace devicesim

int main(int argc, char** argv) {
  using namespace devicesim;
  try {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const Options options = ParseOptions(args);
    if (options.help) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    return Run(options);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "devicesim: %s\n%s", e.what(), kUsage);
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "devicesim: %s\n", e.what());
    return 1;
  }
}
