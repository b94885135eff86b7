#include "counters/Counters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "counters/PercentFormat.h"
#include "counters/RegionalSettings.h"
#include "tests/support/FixedPercent.h"

namespace {

using ::testing::ElementsAre;

std::uint16_t FpuControlWord() {
  std::uint16_t word;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetFpuControlWord(std::uint16_t word) { asm volatile("fldcw %0" : : "m"(word)); }

TEST(FloatingPoint, StartUpRestoresExtendedPrecisionAndRoundingToNearest) {
  // Double precision and rounding toward zero, as a host process might leave them (50 % then
  // gives 127); double precision alone, as 64-bit Windows starts every thread.
  for (const std::uint16_t startWord : {0x0E7F, 0x027F}) {
    SetFpuControlWord(startWord);
    if (startWord == 0x0E7F) ASSERT_EQ(PercentToByte(50), 127);
    InitFloatingPoint();
    EXPECT_EQ(FpuControlWord(), 0x037F);
    EXPECT_EQ(PercentToByte(50), 128);
  }
}

TEST(RegionalSettings, DecimalSeparatorComesFromTheUserLocale) {
  // The test runner starts Wine with Russian regional settings.
  InitRegionalSettings();
  EXPECT_EQ(DecimalSeparator(), ',');
}

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    InitRegionalSettings();
    InitCounters();
  }
  void TearDown() override { FinalizeCounters(); }
};

TEST_F(Catalogue, StartsWithTheNotUsedCounterAlone) {
  ASSERT_EQ(CounterCount(), 1);
  const TBaseCounter* none = CounterByIndex(0);
  ASSERT_NE(none, nullptr);
  EXPECT_EQ(none->GetName(), "Не используется");
  EXPECT_EQ(none->GetText(), "нет");
  EXPECT_EQ(none->GetByte(), 0);
  EXPECT_EQ(none->GetValue(), 0.0L);
  EXPECT_EQ(CounterByIndex(-1), nullptr);
  EXPECT_EQ(CounterByIndex(1), nullptr);
}

TEST_F(Catalogue, KeepsRegistrationOrderAndTheNamesGivenThen) {
  auto* first = new FixedPercent("a", 1);
  auto* second = new FixedPercent("a", 2);  // names may repeat
  RegisterCounter(first);
  RegisterCounter(second);
  first->Rename("renamed later");

  EXPECT_THAT(CounterNames(), ElementsAre("Не используется", "a", "a"));
  EXPECT_EQ(CounterByIndex(1), first);
  EXPECT_EQ(CounterByIndex(2), second);
  EXPECT_EQ(CounterByIndex(3), nullptr);
}

TEST_F(Catalogue, FreesTheCountersLastRegisteredFirst) {
  std::vector<std::string> freed;
  RegisterCounter(new FixedPercent("first", 0, &freed));
  RegisterCounter(new FixedPercent("second", 0, &freed));
  FinalizeCounters();
  EXPECT_THAT(freed, ElementsAre("second", "first"));
  EXPECT_EQ(CounterCount(), 0);
}

TEST_F(Catalogue, PercentCounterShowsTwoDecimalsWithTheRegionalSeparator) {
  const struct {
    long double value;
    const char* text;
    int byte;
  } cases[] = {{37.5L, "37,50 %", 96}, {0, "0,00 %", 0}, {12.5L, "12,50 %", 32}};
  for (const auto& c : cases) {
    const FixedPercent counter("cpu", c.value);
    EXPECT_EQ(counter.GetText(), c.text);
    EXPECT_EQ(counter.GetByte(), c.byte);
  }
}

}  // namespace
