#include "tools/devicesim/SerialLine.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace devicesim {
namespace {

[[noreturn]] void Fail(const std::string& path, const char* what) {
  throw LineError(path + ": " + what + ": " + std::strerror(errno));
}

speed_t SpeedFor(unsigned baud, const std::string& path) {
  static constexpr std::array<std::pair<unsigned, speed_t>, 14> kSpeeds{{
      {300, B300}, {600, B600}, {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600},
      {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
      {460800, B460800}, {921600, B921600}, {1000000, B1000000},
  }};
  for (const auto& [rate, speed] : kSpeeds) {
    if (rate == baud) return speed;
  }
  throw LineError(path + ": " + std::to_string(baud) + " baud is not a standard rate");
}

}  // namespace

SerialLine::SerialLine(const std::string& path, unsigned baud) : path_(path) {
  const speed_t speed = SpeedFor(baud, path);
  // Without O_NONBLOCK the open of a real port can wait for carrier detect; reads are paced by poll.
  fd_ = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) Fail(path, "cannot open");

  termios settings{};
  if (::tcgetattr(fd_, &settings) != 0) {
    if (errno == ENOTTY) return;
    const int error = errno;
    ::close(fd_);
    errno = error;
    Fail(path, "cannot read the line settings");
  }
  saved_ = settings;
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_iflag &= ~(IXON | IXOFF | IXANY);
  // With VMIN 0 a read of an empty line returns 0 even on a non-blocking descriptor, which would
  // look like the end of the line; with VMIN 1 it fails with EAGAIN and 0 means a hang-up.
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0 ||
      ::tcsetattr(fd_, TCSANOW, &settings) != 0) {
    const int error = errno;
    ::close(fd_);
    errno = error;
    Fail(path, "cannot set the line to raw 8N1");
  }
}

SerialLine::~SerialLine() {
  if (saved_) ::tcsetattr(fd_, TCSANOW, &*saved_);
  ::close(fd_);
}

std::optional<std::size_t> SerialLine::Read(std::span<std::uint8_t> buffer) {
  const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
  if (n > 0) return static_cast<std::size_t>(n);
  if (n == 0) return std::nullopt;
  if (errno == EAGAIN || errno == EINTR) return 0;
  // A pty whose other side has closed reports EIO: for the reader that is the end of the line.
  if (errno == EIO) return std::nullopt;
  Fail(path_, "read failed");
}

}  // namespace devicesim
