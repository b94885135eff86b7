#include "cpuusage/PerfDataWalk.h"

#include <cstring>

namespace {

// Reads a record at offset when all of it lies before end (end never past the block). Offsets are
// 64-bit so that no sum of 32-bit lengths from the block can wrap round.
template <class Record>
std::optional<Record> ReadAt(PerfBytes block, std::uint64_t offset, std::uint64_t end) {
  if (offset > end || end - offset < sizeof(Record)) return std::nullopt;
  Record record;
  std::memcpy(&record, block.data() + offset, sizeof record);
  return record;
}

// The smallest instance there can be: its definition and a counter block holding one 64-bit value.
constexpr std::uint64_t kMinInstanceBytes = sizeof(PerfInstanceDefinition) + sizeof(std::int64_t);

// Walks the first `count` instances of the object; stores each one's value when `values` is given.
bool WalkInstances(PerfBytes block, const PerfObjectLocation& object, std::uint32_t counterOffset,
                   std::size_t count, std::int64_t* values) {
  std::uint64_t instance = object.offset + object.header.DefinitionLength;
  for (std::size_t i = 0; i < count; ++i) {
    const auto definition = ReadAt<PerfInstanceDefinition>(block, instance, object.end);
    if (!definition || definition->ByteLength < sizeof(PerfInstanceDefinition)) return false;
    const std::uint64_t counters = instance + definition->ByteLength;
    const auto counterBlock = ReadAt<PerfCounterBlock>(block, counters, object.end);
    if (!counterBlock || counterBlock->ByteLength < sizeof(PerfCounterBlock)) return false;
    const std::uint64_t countersEnd = counters + counterBlock->ByteLength;
    if (countersEnd > object.end) return false;
    const auto value = ReadAt<std::int64_t>(block, counters + counterOffset, countersEnd);
    if (!value) return false;
    if (values) values[i] = *value;
    instance = countersEnd;
  }
  return true;
}

}  // namespace

std::optional<PerfDataBlock> ReadPerfDataBlock(PerfBytes block) {
  return ReadAt<PerfDataBlock>(block, 0, block.size());
}

std::optional<PerfObjectLocation> FindPerfObject(PerfBytes block, std::uint32_t titleIndex) {
  const auto header = ReadPerfDataBlock(block);
  if (!header) return std::nullopt;
  const auto objects = static_cast<std::int32_t>(header->NumObjectTypes);
  std::uint64_t offset = header->HeaderLength;
  for (std::int32_t i = 0; i < objects; ++i) {
    const auto object = ReadAt<PerfObjectType>(block, offset, block.size());
    if (!object || object->TotalByteLength < sizeof(PerfObjectType)) return std::nullopt;
    const std::uint64_t end = offset + object->TotalByteLength;
    if (object->ObjectNameTitleIndex == titleIndex) {
      if (end > block.size() || object->DefinitionLength > object->TotalByteLength) {
        return std::nullopt;
      }
      const std::int32_t instances = object->NumInstances < 0 ? 0 : object->NumInstances;
      const std::uint64_t room = object->TotalByteLength - object->DefinitionLength;
      if (static_cast<std::uint64_t>(instances) > room / kMinInstanceBytes) return std::nullopt;
      return PerfObjectLocation{offset, end, *object, instances};
    }
    offset = end;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> FindCounterOffset(PerfBytes block, const PerfObjectLocation& object,
                                               std::uint32_t titleIndex) {
  std::uint64_t offset = object.offset + object.header.HeaderLength;
  for (std::uint32_t i = 0; i < object.header.NumCounters; ++i) {
    const auto definition = ReadAt<PerfCounterDefinition>(block, offset, object.end);
    if (!definition || definition->ByteLength < sizeof(PerfCounterDefinition)) return std::nullopt;
    if (definition->CounterNameTitleIndex == titleIndex) return definition->CounterOffset;
    offset += definition->ByteLength;
  }
  return std::nullopt;
}

bool ReadInstanceCounters(PerfBytes block, const PerfObjectLocation& object,
                          std::uint32_t counterOffset, std::span<std::int64_t> values) {
  if (values.size() > static_cast<std::size_t>(object.instanceCount)) return false;
  // Checked in full before anything is stored, so a failed read leaves the caller's values alone.
  return WalkInstances(block, object, counterOffset, values.size(), nullptr) &&
         WalkInstances(block, object, counterOffset, values.size(), values.data());
}
