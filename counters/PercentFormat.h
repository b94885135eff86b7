// How a percentage reaches the device and the window: one byte (0..255) and a text with two
// decimals. No Windows API here, so the same arithmetic is checked natively as well.
#pragma once

#include <cstdint>
#include <string>

// percent × 2.55 in the 80-bit extended format, rounded to the nearest integer, ties to even
// (50 → 128, 70 → 178). Relies on the FPU at 64-bit precision, round to nearest
// (InitFloatingPoint). Values below 0 give 0 and values above 100 give 255: the device's needle
// stops at its ends instead of wrapping round.
std::uint8_t PercentToByte(long double percent);

// The value as "%0.2f %%" with the given decimal separator: taken to 18 significant digits
// (rounded to nearest) first, then to two decimals with halves away from zero, so 0.125 gives
// "0,13 %" and 1.005 gives "1,01 %" whatever binary fraction lies behind them.
std::string FormatPercent(long double value, char decimalSeparator);
