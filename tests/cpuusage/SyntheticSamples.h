// Performance data blocks for the sampler's NT path, each stamped with its own time of day.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "tests/host/PerfBlockBuilder.h"

// 100-nanosecond units per millisecond, the unit of the sampler's time stamps.
inline constexpr std::int64_t kTicksPerMs = 10000;

inline PerfSystemTime AtMs(int ms) {
  return {2024, 3, 2, 5, 12, 0, static_cast<std::uint16_t>(ms / 1000),
          static_cast<std::uint16_t>(ms % 1000)};
}

// A block holding two other objects and then the Processor object with these idle counts.
inline std::vector<BYTE> ProcessorSample(const std::vector<std::int64_t>& idle, int ms) {
  return BuildPerfBlock({OtherObject(2), OtherObject(4), ProcessorObject(idle)}, AtMs(ms)).bytes;
}
