#include "counters/Counters.h"

#include <memory>
#include <utility>
#include <vector>

#include "counters/PercentFormat.h"
#include "counters/RegionalSettings.h"

namespace {

struct CatalogueEntry {
  std::string name;  // as the counter gave it at registration; never asked again
  std::unique_ptr<TBaseCounter> counter;
};

std::vector<CatalogueEntry> catalogue;

}  // namespace

std::uint8_t TPercentCounter::GetByte() const { return PercentToByte(GetValue()); }

std::string TPercentCounter::GetText() const {
  return FormatPercent(GetValue(), DecimalSeparator());
}

std::string TNoneCounter::GetName() const { return "Не используется"; }
long double TNoneCounter::GetValue() const { return 0.0L; }
std::uint8_t TNoneCounter::GetByte() const { return 0; }
std::string TNoneCounter::GetText() const { return "нет"; }

void InitCounters() {
  FinalizeCounters();
  RegisterCounter(new TNoneCounter);
}

void FinalizeCounters() noexcept {
  // Last registered first: clear() would free them in registration order.
  while (!catalogue.empty()) catalogue.pop_back();
}

void RegisterCounter(TBaseCounter* counter) {
  std::unique_ptr<TBaseCounter> owned(counter);
  std::string name = owned->GetName();
  catalogue.push_back({std::move(name), std::move(owned)});
}

std::vector<std::string> CounterNames() {
  std::vector<std::string> names;
  for (const CatalogueEntry& entry : catalogue) names.push_back(entry.name);
  return names;
}

TBaseCounter* CounterByIndex(int index) {
  if (index < 0 || index >= CounterCount()) return nullptr;
  return catalogue[static_cast<std::size_t>(index)].counter.get();
}

int CounterCount() { return static_cast<int>(catalogue.size()); }
