// Builds performance data blocks as the NT family lays them out for a 32-bit process, for the
// tests of the walk and of the sampler and as seeds for the fuzzer.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "cpuusage/PerfDataWalk.h"

struct PerfObjectSpec {
  std::uint32_t titleIndex = kProcessorObjectTitle;
  std::vector<std::uint32_t> counterTitles;
  // Per instance, one value for each counter title, in the same order.
  std::vector<std::vector<std::int64_t>> instances;
};

// A Processor object whose usage counter comes second, after a counter the sampler must step
// over (its values are -1 so a read at the wrong offset shows).
inline PerfObjectSpec ProcessorObject(const std::vector<std::int64_t>& idle) {
  PerfObjectSpec object{kProcessorObjectTitle, {142, kCpuUsageCounterTitle}, {}};
  for (std::int64_t value : idle) object.instances.push_back({-1, value});
  return object;
}

// Another object with one instance, for the sampler to step over.
inline PerfObjectSpec OtherObject(std::uint32_t titleIndex) {
  return {titleIndex, {kCpuUsageCounterTitle, 10}, {{1, 2}}};
}

struct PerfBlock {
  std::vector<std::uint8_t> bytes;
  std::vector<std::size_t> objectOffsets;  // where each object starts

  template <class T>
  void Poke(std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
  }
};

// Header lengths as Wine's answer has them: the 88-byte header padded to 96.
inline constexpr std::uint32_t kBlockHeaderLength = 96;
// An instance definition followed by a short UTF-16 name.
inline constexpr std::uint32_t kInstanceLength = sizeof(PerfInstanceDefinition) + 8;

inline PerfBlock BuildPerfBlock(const std::vector<PerfObjectSpec>& objects,
                                PerfSystemTime time = {2024, 3, 5, 6, 12, 0, 0, 0}) {
  PerfBlock block;
  std::vector<std::uint8_t>& bytes = block.bytes;
  bytes.resize(kBlockHeaderLength);
  const auto append = [&bytes](const auto& record) {
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&record);
    bytes.insert(bytes.end(), raw, raw + sizeof record);
  };

  for (const PerfObjectSpec& description : objects) {
    const std::size_t start = bytes.size();
    block.objectOffsets.push_back(start);
    const auto counters = static_cast<std::uint32_t>(description.counterTitles.size());
    const std::uint32_t counterBlockLength = 8 + 8 * counters;

    PerfObjectType object{};
    object.HeaderLength = sizeof object;
    object.DefinitionLength = sizeof object + counters * sizeof(PerfCounterDefinition);
    object.TotalByteLength = object.DefinitionLength +
        static_cast<std::uint32_t>(description.instances.size()) * (kInstanceLength + counterBlockLength);
    object.ObjectNameTitleIndex = description.titleIndex;
    object.NumCounters = counters;
    object.NumInstances = static_cast<std::int32_t>(description.instances.size());
    append(object);

    for (std::uint32_t k = 0; k < counters; ++k) {
      PerfCounterDefinition definition{};
      definition.ByteLength = sizeof definition;
      definition.CounterNameTitleIndex = description.counterTitles[k];
      definition.CounterSize = 8;
      definition.CounterOffset = 8 + 8 * k;
      append(definition);
    }

    for (std::size_t i = 0; i < description.instances.size(); ++i) {
      PerfInstanceDefinition instance{};
      instance.ByteLength = kInstanceLength;
      instance.NameOffset = sizeof instance;
      instance.NameLength = 4;
      append(instance);
      const char16_t name[4] = {static_cast<char16_t>(u'0' + i % 10), 0, 0, 0};
      append(name);
      const PerfCounterBlock counterBlock{counterBlockLength};
      append(counterBlock);
      append(std::uint32_t{0});
      for (std::int64_t value : description.instances[i]) append(value);
    }
  }

  PerfDataBlock header{};
  std::memcpy(header.Signature, u"PERF", sizeof header.Signature);
  header.LittleEndian = 1;
  header.Version = 1;
  header.Revision = 1;
  header.TotalByteLength = static_cast<std::uint32_t>(bytes.size());
  header.HeaderLength = kBlockHeaderLength;
  header.NumObjectTypes = static_cast<std::uint32_t>(objects.size());
  header.SystemTime = time;
  std::memcpy(bytes.data(), &header, sizeof header);
  return block;
}
