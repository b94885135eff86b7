#include "counters/PercentFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// 2.55 held in the extended format (significand 0xA333333333333333), not the double nearest it.
constexpr long double kBytePerPercent = 2.55L;

// Decimal digits in which the value is first taken, before it is cut to two decimals.
constexpr int kSignificantDigits = 18;
constexpr int kDecimals = 2;

// Adds one unit in the last place of a string of decimal digits; true when it carries out of the
// first digit (all nines).
bool IncrementDigits(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it != '9') {
      ++*it;
      return false;
    }
    *it = '0';
  }
  return true;
}

}  // namespace

std::uint8_t PercentToByte(long double percent) {
  const long double rounded = std::nearbyint(percent * kBytePerPercent);
  if (!(rounded > 0)) return 0;  // NaN as well
  if (rounded >= 255) return 255;
  return static_cast<std::uint8_t>(rounded);
}

std::string FormatPercent(long double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN %";
  if (std::isinf(value)) return value < 0 ? "-INF %" : "INF %";

  // "d.ddd…e±x": the C library rounds to 18 significant digits exactly (glibc and MinGW-w64 agree);
  // every later step works on the digit string, so no binary rounding can creep back in.
  char scientific[64];
  std::snprintf(scientific, sizeof scientific, "%.*Le", kSignificantDigits - 1, value);
  const bool negative = scientific[0] == '-';
  const char* mantissa = scientific + (negative ? 1 : 0);
  const char* exponent = std::strchr(mantissa, 'e');

  std::string digits(1, mantissa[0]);
  digits.append(mantissa + 2, exponent);
  // The value is 0.digits × 10^integerDigits.
  long integerDigits = std::strtol(exponent + 1, nullptr, 10) + 1;
  if (integerDigits < 0) {
    digits.insert(0, static_cast<std::size_t>(-integerDigits), '0');
    integerDigits = 0;
  }
  const std::size_t kept = static_cast<std::size_t>(integerDigits) + kDecimals;
  if (digits.size() <= kept) digits.append(kept + 1 - digits.size(), '0');

  const bool roundUp = digits[kept] >= '5';
  digits.resize(kept);
  if (roundUp && IncrementDigits(digits)) {
    digits.insert(digits.begin(), '1');
    ++integerDigits;
  }

  std::string text;
  // A value that rounds to zero shows no sign.
  if (negative && digits.find_first_not_of('0') != std::string::npos) text += '-';
  if (integerDigits == 0) {
    text += '0';
  } else {
    text.append(digits, 0, static_cast<std::size_t>(integerDigits));
  }
  text += decimalSeparator;
  text.append(digits, static_cast<std::size_t>(integerDigits), kDecimals);
  text += " %";
  return text;
}
