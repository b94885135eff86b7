// Runs natively under the sanitizers and, in the Windows build, under Wine.
#include "cpuusage/PerfDataWalk.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "tests/host/PerfBlockBuilder.h"

namespace {

// Field offsets inside the records, for the cases that spoil one.
constexpr std::size_t kNumObjectTypes = offsetof(PerfDataBlock, NumObjectTypes);
constexpr std::size_t kTotalByteLength = offsetof(PerfObjectType, TotalByteLength);
constexpr std::size_t kDefinitionLength = offsetof(PerfObjectType, DefinitionLength);
constexpr std::size_t kObjectHeaderLength = offsetof(PerfObjectType, HeaderLength);
constexpr std::size_t kNumCounters = offsetof(PerfObjectType, NumCounters);
constexpr std::size_t kNumInstances = offsetof(PerfObjectType, NumInstances);
constexpr std::size_t kCounterDefinitions = sizeof(PerfObjectType);
constexpr std::size_t kSecondDefinition = kCounterDefinitions + sizeof(PerfCounterDefinition);

// Where the builder puts instance i of an object with two counters, from the object's start.
constexpr std::size_t kCounterBlockLength = 8 + 2 * 8;
std::size_t InstanceOffset(std::size_t i) {
  return kCounterDefinitions + 2 * sizeof(PerfCounterDefinition) +
         i * (kInstanceLength + kCounterBlockLength);
}

// Two other objects, then the Processor object with three instances.
PerfBlock SampleBlock() {
  return BuildPerfBlock({OtherObject(2), OtherObject(4), ProcessorObject({100, 200, 300})});
}

struct Spoiled {
  const char* what;
  // Spoils the block and gives the number of its bytes to walk.
  std::function<std::size_t(PerfBlock&)> spoil;
};

// The bytes walked of a spoiled sample block.
PerfBytes Walked(PerfBlock& block, const Spoiled& c) {
  const std::size_t size = c.spoil(block);  // may replace the block
  return PerfBytes(block.bytes.data(), size);
}

TEST(PerfDataWalk, FindsTheProcessorBehindOtherObjectsAndReadsTheUsageCounter) {
  PerfBlock block = SampleBlock();
  const PerfBytes bytes(block.bytes);
  const auto processor = FindPerfObject(bytes, kProcessorObjectTitle);
  ASSERT_TRUE(processor);
  EXPECT_EQ(processor->offset, block.objectOffsets[2]);
  EXPECT_EQ(processor->instanceCount, 3);
  const auto counter = FindCounterOffset(bytes, *processor, kCpuUsageCounterTitle);
  ASSERT_TRUE(counter);

  std::vector<std::int64_t> values(3);
  ASSERT_TRUE(ReadInstanceCounters(bytes, *processor, *counter, values));
  EXPECT_EQ(values, (std::vector<std::int64_t>{100, 200, 300}));
  // Fewer than listed: only the first ones.
  std::vector<std::int64_t> first(2);
  ASSERT_TRUE(ReadInstanceCounters(bytes, *processor, *counter, first));
  EXPECT_EQ(first, (std::vector<std::int64_t>{100, 200}));

  EXPECT_EQ(ReadPerfDataBlock(bytes)->SystemTime.wHour, 12);
}

TEST(PerfDataWalk, BlocksThatDoNotHoldAUsableProcessorObject) {
  const Spoiled cases[] = {
      {"no Processor object",
       [](PerfBlock& b) {
         b = BuildPerfBlock({OtherObject(2), OtherObject(4)});
         return b.bytes.size();
       }},
      {"Processor beyond NumObjectTypes",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(kNumObjectTypes, 2);
         return b.bytes.size();
       }},
      {"negative NumObjectTypes",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(kNumObjectTypes, 0x80000000);
         return b.bytes.size();
       }},
      {"nothing returned", [](PerfBlock&) { return std::size_t{0}; }},
      {"shorter than the block header", [](PerfBlock&) { return sizeof(PerfDataBlock) - 1; }},
      {"first object past the end",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(offsetof(PerfDataBlock, HeaderLength), 0xFFFFFFF0);
         return b.bytes.size();
       }},
      {"cut short inside the Processor object",
       [](PerfBlock& b) { return b.bytes.size() - 1; }},
      {"zero step with a huge object count",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(kNumObjectTypes, 0x7FFFFFFF);
         b.Poke<std::uint32_t>(b.objectOffsets[0] + kTotalByteLength, 0);
         return b.bytes.size();
       }},
      {"step shorter than an object header",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[0] + kTotalByteLength, 8);
         return b.bytes.size();
       }},
      {"step that wraps a 32-bit offset",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[0] + kTotalByteLength, 0xFFFFFFF0);
         return b.bytes.size();
       }},
      {"Processor object longer than the block",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kTotalByteLength, 0x10000);
         return b.bytes.size();
       }},
      {"definitions longer than the object",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kDefinitionLength, 0x10000);
         return b.bytes.size();
       }},
      {"more instances than the object can hold",
       [](PerfBlock& b) {
         b.Poke<std::int32_t>(b.objectOffsets[2] + kNumInstances, 1000000);
         return b.bytes.size();
       }},
  };
  for (const Spoiled& c : cases) {
    SCOPED_TRACE(c.what);
    PerfBlock block = SampleBlock();
    EXPECT_FALSE(FindPerfObject(Walked(block, c), kProcessorObjectTitle));
  }
}

TEST(PerfDataWalk, ProcessorObjectsWhoseUsageCounterCannotBeRead) {
  const Spoiled cases[] = {
      {"no usage counter",
       [](PerfBlock& b) {
         b = BuildPerfBlock({{kProcessorObjectTitle, {142, 148}, {{1, 2}, {3, 4}, {5, 6}}}});
         b.objectOffsets.assign(3, b.objectOffsets[0]);
         return b.bytes.size();
       }},
      {"usage counter beyond NumCounters",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kNumCounters, 1);
         return b.bytes.size();
       }},
      {"zero-length definition with a huge count",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kNumCounters, 0xFFFFFFFF);
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kCounterDefinitions, 0);
         return b.bytes.size();
       }},
      {"definitions past the object",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kObjectHeaderLength, 0xFFFFFF00);
         return b.bytes.size();
       }},
      {"counter offset past its counter block",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kSecondDefinition +
                                   offsetof(PerfCounterDefinition, CounterOffset),
                               0xFFFFFFF8);
         return b.bytes.size();
       }},
      {"zero-length instance",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + InstanceOffset(1), 0);
         return b.bytes.size();
       }},
      {"instance running past the object",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + InstanceOffset(2), 0x1000);
         return b.bytes.size();
       }},
      {"zero-length counter block",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + InstanceOffset(1) + kInstanceLength, 0);
         return b.bytes.size();
       }},
      {"counter block too short for the value",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + InstanceOffset(1) + kInstanceLength, 12);
         return b.bytes.size();
       }},
      {"object ending before its last instance",
       [](PerfBlock& b) {
         b.Poke<std::uint32_t>(b.objectOffsets[2] + kTotalByteLength,
                               static_cast<std::uint32_t>(InstanceOffset(2) + 16));
         return b.bytes.size();
       }},
      {"fewer instances listed than read",
       [](PerfBlock& b) {
         b.Poke<std::int32_t>(b.objectOffsets[2] + kNumInstances, 2);
         return b.bytes.size();
       }},
  };
  for (const Spoiled& c : cases) {
    SCOPED_TRACE(c.what);
    PerfBlock block = SampleBlock();
    const PerfBytes bytes = Walked(block, c);
    auto processor = FindPerfObject(bytes, kProcessorObjectTitle);
    ASSERT_TRUE(processor);
    // The count fixed at an earlier sample.
    std::vector<std::int64_t> values(3, 7);
    const auto counter = FindCounterOffset(bytes, *processor, kCpuUsageCounterTitle);
    EXPECT_FALSE(counter && ReadInstanceCounters(bytes, *processor, *counter, values));
    EXPECT_EQ(values, std::vector<std::int64_t>(3, 7)) << "a failed read stores nothing";
  }
}

TEST(PerfDataWalk, AnObjectWithoutInstancesHasNone) {
  PerfBlock block = BuildPerfBlock({ProcessorObject({})});
  block.Poke<std::int32_t>(block.objectOffsets[0] + kNumInstances, -1);
  const auto processor = FindPerfObject(PerfBytes(block.bytes), kProcessorObjectTitle);
  ASSERT_TRUE(processor);
  EXPECT_EQ(processor->instanceCount, 0);
}

}  // namespace
