// The walk over a performance data block as the NT family returns it for a 32-bit process, held in
// a byte buffer. Nothing here trusts a length or a count in the block: every read stays inside the
// bytes the query returned and every step moves forward, so a block that is cut short or does not
// add up reads as a block without the object or the counter looked for.
// No Windows API here: the walk is also tested natively and fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

// The records of winperf.h as a 32-bit process receives them (pointers are 32 bits wide there).
struct PerfSystemTime {
  std::uint16_t wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

struct PerfDataBlock {
  char16_t Signature[4];
  std::uint32_t LittleEndian;
  std::uint32_t Version;
  std::uint32_t Revision;
  std::uint32_t TotalByteLength;
  std::uint32_t HeaderLength;
  std::uint32_t NumObjectTypes;
  std::int32_t DefaultObject;
  PerfSystemTime SystemTime;
  std::uint32_t Padding;  // aligns the 64-bit fields as the platform does
  std::int64_t PerfTime;
  std::int64_t PerfFreq;
  std::int64_t PerfTime100nSec;
  std::uint32_t SystemNameLength;
  std::uint32_t SystemNameOffset;
};

struct PerfObjectType {
  std::uint32_t TotalByteLength;
  std::uint32_t DefinitionLength;
  std::uint32_t HeaderLength;
  std::uint32_t ObjectNameTitleIndex;
  std::uint32_t ObjectNameTitle;
  std::uint32_t ObjectHelpTitleIndex;
  std::uint32_t ObjectHelpTitle;
  std::uint32_t DetailLevel;
  std::uint32_t NumCounters;
  std::int32_t DefaultCounter;
  std::int32_t NumInstances;
  std::uint32_t CodePage;
  std::int64_t PerfTime;
  std::int64_t PerfFreq;
};

struct PerfCounterDefinition {
  std::uint32_t ByteLength;
  std::uint32_t CounterNameTitleIndex;
  std::uint32_t CounterNameTitle;
  std::uint32_t CounterHelpTitleIndex;
  std::uint32_t CounterHelpTitle;
  std::int32_t DefaultScale;
  std::uint32_t DetailLevel;
  std::uint32_t CounterType;
  std::uint32_t CounterSize;
  std::uint32_t CounterOffset;
};

struct PerfInstanceDefinition {
  std::uint32_t ByteLength;
  std::uint32_t ParentObjectTitleIndex;
  std::uint32_t ParentObjectInstance;
  std::int32_t UniqueID;
  std::uint32_t NameOffset;
  std::uint32_t NameLength;
};

struct PerfCounterBlock {
  std::uint32_t ByteLength;
};

static_assert(sizeof(PerfSystemTime) == 16);
static_assert(sizeof(PerfDataBlock) == 88);
static_assert(offsetof(PerfDataBlock, HeaderLength) == 24);
static_assert(offsetof(PerfDataBlock, NumObjectTypes) == 28);
static_assert(offsetof(PerfDataBlock, SystemTime) == 36);
static_assert(offsetof(PerfDataBlock, PerfTime) == 56);
static_assert(sizeof(PerfObjectType) == 64);
static_assert(offsetof(PerfObjectType, ObjectNameTitleIndex) == 12);
static_assert(offsetof(PerfObjectType, NumCounters) == 32);
static_assert(offsetof(PerfObjectType, NumInstances) == 40);
static_assert(offsetof(PerfObjectType, PerfTime) == 48);
static_assert(sizeof(PerfCounterDefinition) == 40);
static_assert(offsetof(PerfCounterDefinition, CounterOffset) == 36);
static_assert(sizeof(PerfInstanceDefinition) == 24);
static_assert(sizeof(PerfCounterBlock) == 4);

// Title indexes of the Processor object and of its CPU usage counter (the idle time count).
inline constexpr std::uint32_t kProcessorObjectTitle = 238;
inline constexpr std::uint32_t kCpuUsageCounterTitle = 6;

using PerfBytes = std::span<const std::uint8_t>;

// An object found in a block, with its extent checked against the block.
struct PerfObjectLocation {
  std::uint64_t offset;  // from the start of the block
  std::uint64_t end;     // offset + TotalByteLength, never past the block
  PerfObjectType header;
  // NumInstances; an object without instances (PERF_NO_INSTANCES) has none. Never more than the
  // object's bytes can hold, so it is safe to size arrays by it.
  std::int32_t instanceCount;
};

// The block's header, when the block is long enough to hold one.
std::optional<PerfDataBlock> ReadPerfDataBlock(PerfBytes block);

// The first object with this title index among the first NumObjectTypes objects, stepping by
// TotalByteLength. An object whose lengths do not fit the block ends the search unfound.
std::optional<PerfObjectLocation> FindPerfObject(PerfBytes block, std::uint32_t titleIndex);

// The CounterOffset of the first definition with this title index among the object's first
// NumCounters definitions, stepping by ByteLength.
std::optional<std::uint32_t> FindCounterOffset(PerfBytes block, const PerfObjectLocation& object,
                                               std::uint32_t titleIndex);

// The 64-bit value at counterOffset in the counter block of each of the object's first
// values.size() instances, in order. False, with values left as they were, when the object lists
// fewer instances or an instance or its counter block does not lie inside the object.
bool ReadInstanceCounters(PerfBytes block, const PerfObjectLocation& object,
                          std::uint32_t counterOffset, std::span<std::int64_t> values);
