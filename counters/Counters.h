// The counter interface and the counter catalogue: the one ordered list of every load figure a
// channel can carry. A channel stores a catalogue position; position 0 is always the not-used
// counter. Only the user-interface thread uses the catalogue.
// Started and ended in the modules' fixed order (app/Modules.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class TBaseCounter {
 public:
  TBaseCounter() = default;
  TBaseCounter(const TBaseCounter&) = delete;
  TBaseCounter& operator=(const TBaseCounter&) = delete;
  virtual ~TBaseCounter() = default;

  // Display name, Windows-1251.
  virtual std::string GetName() const = 0;
  // The current figure; a percentage for every counter of this program.
  virtual long double GetValue() const = 0;
  // The figure scaled for the device.
  virtual std::uint8_t GetByte() const = 0;
  // The figure as display text.
  virtual std::string GetText() const = 0;
};

// A percentage: 0..100 % is 0..255 on the device, and the text has two decimals and the user's
// decimal separator ("37,50 %").
class TPercentCounter : public TBaseCounter {
 public:
  std::uint8_t GetByte() const override;
  std::string GetText() const override;
};

// The channel carries nothing: it shows "нет" and sends 0.
class TNoneCounter : public TBaseCounter {
 public:
  std::string GetName() const override;
  long double GetValue() const override;
  std::uint8_t GetByte() const override;
  std::string GetText() const override;
};

// Creates the catalogue with a TNoneCounter at position 0.
void InitCounters();

// Frees every counter, the last registered first, and empties the catalogue.
void FinalizeCounters() noexcept;

// Appends the counter under the name it gives now; the catalogue owns it from here on.
void RegisterCounter(TBaseCounter* counter);

// The catalogue's names, in its order.
std::vector<std::string> CounterNames();

// The counter at a catalogue position, or nullptr outside the catalogue (-1: nothing selected).
TBaseCounter* CounterByIndex(int index);

int CounterCount();
