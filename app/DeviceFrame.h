// What goes on the wire to the load indicator, independent of windows and ports.
#pragma once

#include <array>
#include <cstdint>

// The items of the write-mode list, in list order: the list index is the mode.
enum WriteMode : int {
  wmNone = -1,         // nothing selected: nothing is sent
  wmSingleByte = 0,    // "1 (старый)": channel 1's byte alone at 9600 baud
  wmEightChannel = 1,  // "8 (новый)": the 11-byte frame at 115200 baud
  wmFullScale = 2,     // "8 (калибр. 100%)": every channel 0xFF
  wmZeroScale = 3,     // "8 (калибр. 0%)": every channel 0x00
};

constexpr int kFrameSize = 11;
constexpr int kChannelCount = 8;
constexpr int kFirstChannelByte = 2;  // channel k (1..8) sits at byte k + 1
using DeviceFrame = std::array<std::uint8_t, kFrameSize>;

constexpr int kSingleByteBaud = 9600;
constexpr int kFrameBaud = 115200;

// Completes a frame whose channel bytes are filled: applies the calibration fill of the mode, then
// the header 0x11 0x22 and the checksum (XOR of the eight channel bytes). For modes 1..3 only.
void CompleteFrame(DeviceFrame& frame, int mode);

// What a write mode puts on the wire, and at which rate; no bytes for no mode.
struct Transmission {
  const std::uint8_t* bytes;
  int count;
  int baud;
};
// For a frame whose channel bytes are filled: channel 1's byte alone at 9600 baud in the one-byte
// mode, the frame completed for the mode at 115200 in the others.
Transmission PrepareTransmission(DeviceFrame& frame, int mode);
// The needles at rest in the mode: zero on every channel (the byte 0, or the zero-scale frame).
Transmission PrepareRest(DeviceFrame& frame, int mode);
