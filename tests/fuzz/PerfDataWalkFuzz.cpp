// Feeds arbitrary bytes to the walk as the answer of a performance data query, the way the sampler
// uses it. AddressSanitizer reports any read outside the answer; a walk that never ends shows as a
// timeout.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "cpuusage/PerfDataWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const PerfBytes block(data, size);
  const auto processor = FindPerfObject(block, kProcessorObjectTitle);
  if (!processor) return 0;
  // The walk promises a count that the object's bytes can hold, so this allocation stays small.
  std::vector<std::int64_t> values(static_cast<std::size_t>(processor->instanceCount));
  const auto counter = FindCounterOffset(block, *processor, kCpuUsageCounterTitle);
  if (counter) ReadInstanceCounters(block, *processor, *counter, values);
  ReadPerfDataBlock(block);
  return 0;
}
