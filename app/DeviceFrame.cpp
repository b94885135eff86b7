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
