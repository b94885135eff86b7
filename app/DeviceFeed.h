// The device feed, what the program is for: the port, the frame and the channels' counters. A tick
// reads every channel's counter, sends the write mode's bytes and returns what the window shows.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/DeviceFrame.h"
#include "app/Settings.h"
#include "serial/Com32.h"

struct TickResult {
  // Each channel's text; none where the channel has no counter: its label keeps its text.
  std::array<std::optional<std::string>, kChannelCount> labels;
  // What went wrong, for the status line in red (none: the line stays as it is): the port's
  // failure, or the error that ended the tick early, after the labels set before it.
  std::optional<std::string> error;
  bool endedEarly = false;
};

class DeviceFeed {
 public:
  // The longest a rest may take on the wire, where 11 bytes take 1 ms at 115200 baud.
  static constexpr int kRestWriteLimitMs = 200;

  // Every serial call goes through `os`, so tests can stand in for ports Wine cannot show.
  explicit DeviceFeed(SerialOs& os) : os_(os), CommPort(os) {}

  // The numbers of the COM ports (1..25) that open now.
  std::vector<int> ListPorts() { return EnumComPorts(kHighestProbedPort, false, os_); }

  // One tick for the settings, opening the port when it is closed; the next tick tries again.
  TickResult Tick(const Settings& settings);
  // The zero frame (or byte) of the write mode as the last write before the program ends or the
  // machine sleeps: the device shows whatever it was sent last. Only on an open port; dropped,
  // unreported, when the device does not take it within kRestWriteLimitMs.
  void Rest(const Settings& settings) noexcept;

  // A port chosen: an open port moves to it at once. Raises OSError when it does not open there.
  void ChoosePort(int number) { CommPort.SetPortNumber(number); }
  // Lets the port go; the next tick opens it afresh.
  void ClosePort() noexcept { CommPort.ClosePort(); }

 private:
  static constexpr int kHighestProbedPort = 25;

  // Writes to the chosen port, opening it unless it is open; what went wrong, for the status line.
  std::optional<std::string> SendToDevice(int port, const Transmission& wire);

  SerialOs& os_;
  TCommPort CommPort;
  DeviceFrame Frame{};
};
