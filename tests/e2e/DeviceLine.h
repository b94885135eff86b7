// The serial cable between the program and the device: COM1 of the test prefix is the program's end,
// COM2 the device's, the two ends of one socat pty pair. Stopping the pair is the device pulled
// out; starting it again is the device plugged back in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/UniqueResource.h"
#include "tools/devicesim/FrameDecoder.h"

namespace e2e {

// (Re)starts the pair whose ends the prefix maps to COM1 and COM2 (or to other ports, named by
// their links: com12 is COM12); returns once both ends exist.
void PlugDevice(const char* programEnd = "com1", const char* deviceEnd = "com2");
void UnplugDevice(const char* programEnd = "com1");  // stops it; returns once it is gone
bool DevicePlugged();
// A USB adapter plugged in while the prefix runs: a pair whose ends appear among the prefix's
// devices as COM ports that were not there when its programs started ("com20", "com21").
void PlugAdapter(const char* programEnd, const char* deviceEnd);
void UnplugAdapter(const char* programEnd);
// Stops (true) or starts again the line from the program to the device: while it is held, the
// program's writes take nothing and come back when their time-out runs out.
void HoldLine(bool hold);

// The line speed the program set on its end of the cable, as stty prints it ("9600").
std::string ProgramLineSpeed();

// What the device received while it listened: the frames and single readings, decoded as the
// device decodes them, and the decoder's tally (bad frames, bytes that fit nothing).
struct Reception {
  std::vector<devicesim::Frame> frames;
  devicesim::DecoderCounts counts;

  std::size_t Count(devicesim::FrameKind kind) const;
};

// The device's end of the cable, open for reading.
class DeviceEnd {
 public:
  // Throws std::runtime_error when the port does not open.
  explicit DeviceEnd(const char* port = "COM2");

  // Forgets whatever has arrived so far.
  void Discard();
  // Listens for `ms` milliseconds.
  Reception Listen(DWORD ms);
  // Waits up to `timeoutMs` for the next complete eight-channel frame (of any kind); returns false
  // when none came.
  bool NextFrame(devicesim::Frame& frame, DWORD timeoutMs);

 private:
  std::vector<std::uint8_t> Read();

  FileHandle port_;
};

}  // namespace e2e
