// The far end of the device's line, opened for reading: a serial port set to raw 8N1 without flow
// control at the given speed, or a pty (which takes the settings and ignores the speed). A path that
// is no terminal at all (a FIFO, a captured file) is read as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include <termios.h>

namespace devicesim {

class LineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class SerialLine {
 public:
  // Throws LineError with the system's reason.
  SerialLine(const std::string& path, unsigned baud);
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  int Descriptor() const { return fd_; }
  // The bytes read into `buffer`; 0 when nothing is waiting; nullopt once the line has ended (end of
  // file, or the other side of a pty gone).
  std::optional<std::size_t> Read(std::span<std::uint8_t> buffer);

 private:
  std::string path_;
  int fd_ = -1;
  std::optional<termios> saved_;  // put back on close, so the port is left as it was found
};

}  // namespace devicesim
