#include "counters/RegionalSettings.h"

#include <windows.h>

#include <cstdint>

namespace {

char decimalSeparator = '.';

}  // namespace

void InitRegionalSettings() {
  char separator[4] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1) {
    decimalSeparator = separator[0];
  }
}

char DecimalSeparator() { return decimalSeparator; }

void InitFloatingPoint() {
  const std::uint16_t controlWord = 0x037F;
  asm volatile("fldcw %0" : : "m"(controlWord));
}
