#include "app/DeviceFrame.h"

void CompleteFrame(DeviceFrame& frame, int mode) {
  if (mode == wmFullScale) frame.fill(0xFF);
  if (mode == wmZeroScale) frame.fill(0x00);
  // The header and checksum follow the fill, so both calibration frames carry them too.
  frame[0] = 0x11;
  frame[1] = 0x22;
  frame[10] = 0;
  for (int i = kFirstChannelByte; i < kFirstChannelByte + kChannelCount; ++i) frame[10] ^= frame[i];
}

Transmission PrepareTransmission(DeviceFrame& frame, int mode) {
  if (mode == wmSingleByte) return {&frame[kFirstChannelByte], 1, kSingleByteBaud};
  if (mode < wmEightChannel || mode > wmZeroScale) return {frame.data(), 0, 0};
  CompleteFrame(frame, mode);
  return {frame.data(), kFrameSize, kFrameBaud};
}

Transmission PrepareRest(DeviceFrame& frame, int mode) {
  frame.fill(0);
  return PrepareTransmission(frame, mode >= wmEightChannel ? wmZeroScale : mode);
}
