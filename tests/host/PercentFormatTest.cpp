// Runs natively and, in the Windows build, under Wine: both must give the same bytes and texts.
#include "counters/PercentFormat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct ByteCase {
  long double percent;
  int byte;
};

TEST(PercentToByte, ScalesInExtendedPrecisionAndRoundsHalvesToEven) {
  // 10, 30, 50, 70 and 90 give products of exactly x.5 in the extended format; double precision
  // would give 127 for 50.
  const ByteCase cases[] = {{0, 0},      {0.196L, 0}, {0.2L, 1},   {1, 3},      {10, 26},
                            {20, 51},    {30, 76},    {37.5L, 96}, {50, 128},   {70, 178},
                            {90, 230},   {99, 252},   {99.9L, 255}, {100, 255}, {12.5L, 32}};
  for (const ByteCase& c : cases) {
    EXPECT_EQ(PercentToByte(c.percent), c.byte) << static_cast<double>(c.percent);
  }
}

TEST(PercentToByte, ClampsOutsideZeroToHundred) {
  const ByteCase cases[] = {{-0.1L, 0}, {-1000, 0}, {100.2L, 255}, {1e30L, 255}};
  for (const ByteCase& c : cases) {
    EXPECT_EQ(PercentToByte(c.percent), c.byte) << static_cast<double>(c.percent);
  }
  EXPECT_EQ(PercentToByte(std::numeric_limits<long double>::quiet_NaN()), 0);
}

struct TextCase {
  long double value;
  char separator;
  const char* text;
};

TEST(FormatPercent, TwoDecimalsAfterEighteenSignificantDigits) {
  const TextCase cases[] = {
      {0.125L, '.', "0.13 %"},
      {0.124L, '.', "0.12 %"},
      {100, '.', "100.00 %"},
      {37.5L, '.', "37.50 %"},
      {37.5L, ',', "37,50 %"},
      {0, ',', "0,00 %"},
      // Just below the half in binary, exactly the half at 18 digits.
      {1.005L, ',', "1,01 %"},
      {0.145L, ',', "0,15 %"},
      // Carries into a new integer digit.
      {0.995L, '.', "1.00 %"},
      {99.995L, '.', "100.00 %"},
      // Digits that lie entirely after the second decimal.
      {0.005L, '.', "0.01 %"},
      {0.0049L, '.', "0.00 %"},
      {1e-30L, '.', "0.00 %"},
      // Halves away from zero on both sides; no sign on a zero.
      {-12.345L, '.', "-12.35 %"},
      {-0.001L, '.', "0.00 %"},
      {200.0L / 3, ',', "66,67 %"},
      {123456789.125L, '.', "123456789.13 %"},
      {1e20L, '.', "100000000000000000000.00 %"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(FormatPercent(c.value, c.separator), c.text) << static_cast<double>(c.value);
  }
}

TEST(FormatPercent, NamesValuesThatAreNoNumbers) {
  using Limits = std::numeric_limits<long double>;
  EXPECT_EQ(FormatPercent(Limits::infinity(), ','), "INF %");
  EXPECT_EQ(FormatPercent(-Limits::infinity(), ','), "-INF %");
  EXPECT_EQ(FormatPercent(Limits::quiet_NaN(), ','), "NAN %");
}

}  // namespace
