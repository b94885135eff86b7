// The counters that measure something: CPU load per processor instance and the load of physical
// memory, virtual address space and the page file, all as percentages.
// Started and ended in the modules' fixed order (app/Modules.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "counters/Counters.h"

// What the three memory counters read, in bytes: the system's memory status.
struct MemoryFigures {
  std::uint64_t availPhys, totalPhys;
  std::uint64_t availVirtual, totalVirtual;
  std::uint64_t availPageFile, totalPageFile;
};
MemoryFigures MemoryFiguresOf(const MEMORYSTATUSEX& status);
// The 95/98 family's status, whose figures stop at 4 GB.
MemoryFigures MemoryFiguresOf(const MEMORYSTATUS& status);

// The load of one processor instance between the last two samples, 0..100.
class TCPUCounter : public TPercentCounter {
 public:
  // index: the instance read; count: the number of instances, which only chooses the name.
  TCPUCounter(int index, int count);
  std::string GetName() const override;
  long double GetValue() const override;

 private:
  int InstanceIndex;
  int InstanceCount;
};

class TMemLoadCounter : public TPercentCounter {
 public:
  std::string GetName() const override;
  long double GetValue() const override;
};

class TVirtLoadCounter : public TPercentCounter {
 public:
  std::string GetName() const override;
  long double GetValue() const override;
};

class TSwapLoadCounter : public TPercentCounter {
 public:
  std::string GetName() const override;
  long double GetValue() const override;
};

// (1 − avail ÷ total) × 100 in extended precision, not clamped. A zero total raises
// "Floating point division by zero", or "Invalid floating point operation" when avail is 0 too.
long double LoadPercent(std::uint64_t avail, std::uint64_t total);

// Refreshes the memory figures and takes a CPU sample; the poll cycle calls it once before it
// reads any counter, so every counter reads the same data for the rest of the cycle.
void RefreshLoadData();
// The same with figures of the caller's.
void RefreshLoadData(const MemoryFigures& memory);

// Takes the first CPU sample and appends one CPU counter per processor instance, then the
// physical-memory, virtual-memory and page-file counters, to the catalogue.
void RegisterLoadCounters();
