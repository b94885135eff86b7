#include "tests/perfprovider/PerfDataReader.h"

#include <gtest/gtest.h>

namespace {

// Whether [offset, offset + length) lies inside `size` bytes.
bool Inside(size_t offset, size_t length, size_t size) { return offset <= size && length <= size - offset; }

bool Aligned(DWORD length) { return length % 8 == 0; }

}  // namespace

const PERF_OBJECT_TYPE* FindObject(const std::vector<BYTE>& block, DWORD titleIndex) {
  if (!Inside(0, sizeof(PERF_DATA_BLOCK), block.size())) return nullptr;
  const auto* header = reinterpret_cast<const PERF_DATA_BLOCK*>(block.data());
  size_t offset = header->HeaderLength;
  for (DWORD i = 0; i < header->NumObjectTypes; ++i) {
    if (!Inside(offset, sizeof(PERF_OBJECT_TYPE), block.size())) {
      ADD_FAILURE() << "object " << i << " runs past the " << block.size() << " bytes returned";
      return nullptr;
    }
    const auto* object = reinterpret_cast<const PERF_OBJECT_TYPE*>(block.data() + offset);
    if (object->ObjectNameTitleIndex == titleIndex) return object;
    if (object->TotalByteLength == 0) return nullptr;
    offset += object->TotalByteLength;
  }
  return nullptr;
}

std::optional<ProcessorObjectReading> ReadProcessorObject(const BYTE* object, size_t available) {
  const auto* header = reinterpret_cast<const PERF_OBJECT_TYPE*>(object);
  const size_t size = header->TotalByteLength;
  if (!Inside(0, size, available) || !Aligned(header->TotalByteLength) || !Aligned(header->DefinitionLength) ||
      header->NumCounters != 1 || header->NumInstances < 1) {
    ADD_FAILURE() << "object header: length " << size << " of " << available << ", definitions "
                  << header->DefinitionLength << ", " << header->NumCounters << " counters, "
                  << header->NumInstances << " instances";
    return std::nullopt;
  }
  if (!Inside(header->HeaderLength, sizeof(PERF_COUNTER_DEFINITION), header->DefinitionLength)) {
    ADD_FAILURE() << "the counter definition lies outside the object's definitions";
    return std::nullopt;
  }
  const auto* counter = reinterpret_cast<const PERF_COUNTER_DEFINITION*>(object + header->HeaderLength);
  if (counter->CounterNameTitleIndex != 6 || counter->CounterSize != 8) {
    ADD_FAILURE() << "counter " << counter->CounterNameTitleIndex << " of " << counter->CounterSize << " bytes";
    return std::nullopt;
  }

  ProcessorObjectReading reading{counter->CounterType, {}};
  size_t offset = header->DefinitionLength;
  for (LONG i = 0; i < header->NumInstances; ++i) {
    const auto* instance = reinterpret_cast<const PERF_INSTANCE_DEFINITION*>(object + offset);
    if (!Inside(offset, sizeof(PERF_INSTANCE_DEFINITION), size) || !Inside(offset, instance->ByteLength, size) ||
        !Aligned(instance->ByteLength) ||
        !Inside(instance->NameOffset, instance->NameLength, instance->ByteLength) ||
        instance->NameLength < sizeof(wchar_t)) {
      ADD_FAILURE() << "instance " << i << " is malformed or outside the object";
      return std::nullopt;
    }
    const auto* name = reinterpret_cast<const wchar_t*>(object + offset + instance->NameOffset);
    const size_t nameChars = instance->NameLength / sizeof(wchar_t) - 1;
    if (name[nameChars] != L'\0') {
      ADD_FAILURE() << "the name of instance " << i << " has no terminating zero";
      return std::nullopt;
    }
    const size_t block = offset + instance->ByteLength;
    const auto* counters = reinterpret_cast<const PERF_COUNTER_BLOCK*>(object + block);
    if (!Inside(block, sizeof(PERF_COUNTER_BLOCK), size) || !Inside(block, counters->ByteLength, size) ||
        !Aligned(counters->ByteLength) || !Inside(counter->CounterOffset, 8, counters->ByteLength)) {
      ADD_FAILURE() << "the counter block of instance " << i << " is malformed or outside the object";
      return std::nullopt;
    }
    LONGLONG idleTime;
    memcpy(&idleTime, object + block + counter->CounterOffset, sizeof idleTime);
    reading.instances.push_back({std::wstring(name, nameChars), idleTime});
    offset = block + counters->ByteLength;
  }
  EXPECT_EQ(offset, size) << "bytes after the last instance";
  return reading;
}
