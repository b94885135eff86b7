// The program's serial link: one COM port set up for the load-indicator device (8 data bits, no
// parity, one stop bit, no flow control, DTR raised, RTS lowered), written to and never read, and
// the probe that finds which COM ports can be opened.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Errors.h"
#include "serial/SerialOs.h"

// A write that did not take all its bytes. The code is the system's error code of a failed
// WriteFile, or ERROR_TIMEOUT for a write that came back short: the port's write time-out ran out.
class WriteError : public Error {
 public:
  explicit WriteError(std::uint32_t code) : Error("Stream write error"), code_(code) {}
  std::uint32_t Code() const noexcept { return code_; }

 private:
  std::uint32_t code_;
};

class TCommPort {
 public:
  explicit TCommPort(SerialOs& os = RealSerialOs());
  ~TCommPort();
  TCommPort(const TCommPort&) = delete;
  TCommPort& operator=(const TCommPort&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  int PortNumber() const { return portNumber_; }
  int BaudRate() const { return baudRate_; }

  // Both setters clamp (port 1..255, rate 110..256000; any rate in range is taken). A different
  // value on an open port closes it and opens it again at once; if that open fails the port stays
  // closed with the new value kept and the OSError passes on. The same value again does nothing.
  void SetPortNumber(int number);
  void SetBaudRate(int rate);

  // Opens "COM<n>" (from 10 on "\\.\COM<n>") and sets it up: line, purge, queues, time-outs.
  // Raises OSError with the failing call's code, the port closed. An open port is closed first.
  void OpenPort();
  void ClosePort() noexcept;
  // From now on until the port is opened again, a write gives up after `milliseconds` whatever
  // its length. Raises OSError; nothing on a closed port.
  void LimitWriteTime(int milliseconds);

  // Writes all `count` bytes (none for 0 or less) with one call to an open port, or raises
  // WriteError. A short write (the time-out ran out) leaves the port open: the device is slow,
  // not gone. A failed call (an adapter pulled out) closes it first, so that the next OpenPort
  // gets a fresh handle; IsOpen() afterwards tells the two apart.
  void WriteBytes(const std::uint8_t* data, int count);

  // Line settings, purge of both directions and queue sizes; nothing on a closed port.
  void ApplyLineSettings();
  // Discards pending input and/or output; nothing on a closed port.
  void PurgeBuffers(bool input, bool output);

 private:
  void ChangeSetting(int& setting, int value);

  SerialOs& os_;
  int portNumber_ = 1;
  int baudRate_ = 9600;
  // Closed through the seam that opened it.
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Probes COM1 .. COM<highest> (at least COM1, each named as OpenPort names it) by opening and
// closing each; the numbers of those that opened, in order. With `stopAtFirstMissing` it stops at
// the first port that fails.
std::vector<int> EnumComPorts(int highest, bool stopAtFirstMissing, SerialOs& os = RealSerialOs());
