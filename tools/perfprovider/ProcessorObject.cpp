#include "tools/perfprovider/ProcessorObject.h"

#include <winperf.h>

#include <cstddef>

#include "tools/perfprovider/ProcessorQuery.h"

namespace dvxperf {
namespace {

constexpr DWORD ProcessorHelpIndex = 239;
constexpr DWORD ProcessorTimeIndex = 6;
constexpr DWORD ProcessorTimeHelpIndex = 7;

// Each instance's counter block: its length, then the idle time on an 8-byte boundary.
struct ProcessorCounters {
  PERF_COUNTER_BLOCK block;
  DWORD padding;
  LONGLONG idleTime;
};

static_assert(sizeof(PERF_OBJECT_TYPE) == 64 && sizeof(PERF_COUNTER_DEFINITION) == 40);
static_assert(sizeof(PERF_INSTANCE_DEFINITION) == 24 && sizeof(ProcessorCounters) == 16);
static_assert(offsetof(ProcessorCounters, idleTime) == 8);

constexpr wchar_t TotalName[] = L"_Total";
constexpr DWORD TotalNameChars = sizeof(TotalName) / sizeof(wchar_t);

constexpr DWORD Align8(DWORD bytes) { return (bytes + 7) & ~DWORD{7}; }

// An instance with a name of nameChars characters, its terminating zero included.
constexpr DWORD InstanceSize(DWORD nameChars) {
  return sizeof(PERF_INSTANCE_DEFINITION) + Align8(nameChars * sizeof(wchar_t)) + sizeof(ProcessorCounters);
}

DWORD DecimalDigits(DWORD n) {
  DWORD digits = 1;
  for (; n >= 10; n /= 10) ++digits;
  return digits;
}

void WriteObjectHeader(PERF_OBJECT_TYPE* object, DWORD cpuCount) {
  object->TotalByteLength = ProcessorObjectSize(cpuCount);
  object->DefinitionLength = sizeof(PERF_OBJECT_TYPE) + sizeof(PERF_COUNTER_DEFINITION);
  object->HeaderLength = sizeof(PERF_OBJECT_TYPE);
  object->ObjectNameTitleIndex = ProcessorObjectIndex;
  object->ObjectNameTitle = {};
  object->ObjectHelpTitleIndex = ProcessorHelpIndex;
  object->ObjectHelpTitle = {};
  object->DetailLevel = PERF_DETAIL_NOVICE;
  object->NumCounters = 1;
  object->DefaultCounter = 0;
  object->NumInstances = cpuCount + 1;
  object->CodePage = 0;  // instance names are UTF-16
  // Only counters timed by the object itself read these; the idle time goes by the block's clock.
  object->PerfTime.QuadPart = 0;
  object->PerfFreq.QuadPart = 0;
}

void WriteCounterDefinition(PERF_COUNTER_DEFINITION* counter) {
  counter->ByteLength = sizeof(PERF_COUNTER_DEFINITION);
  counter->CounterNameTitleIndex = ProcessorTimeIndex;
  counter->CounterNameTitle = {};
  counter->CounterHelpTitleIndex = ProcessorTimeHelpIndex;
  counter->CounterHelpTitle = {};
  counter->DefaultScale = 0;
  counter->DetailLevel = PERF_DETAIL_NOVICE;
  // Idle time in 100 ns units, shown inverted: the share of time the processor was busy.
  counter->CounterType = PERF_100NSEC_TIMER_INV;
  counter->CounterSize = sizeof(LONGLONG);
  counter->CounterOffset = offsetof(ProcessorCounters, idleTime);
}

// Writes one instance and returns where the next one starts.
BYTE* WriteInstance(BYTE* at, const wchar_t* name, DWORD nameChars, LONGLONG idleTime) {
  auto* instance = reinterpret_cast<PERF_INSTANCE_DEFINITION*>(at);
  const DWORD nameRoom = Align8(nameChars * sizeof(wchar_t));
  instance->ByteLength = sizeof(PERF_INSTANCE_DEFINITION) + nameRoom;
  instance->ParentObjectTitleIndex = 0;
  instance->ParentObjectInstance = 0;
  instance->UniqueID = PERF_NO_UNIQUE_ID;
  instance->NameOffset = sizeof(PERF_INSTANCE_DEFINITION);
  instance->NameLength = nameChars * sizeof(wchar_t);
  auto* text = reinterpret_cast<wchar_t*>(at + sizeof(PERF_INSTANCE_DEFINITION));
  for (DWORD i = 0; i < nameRoom / sizeof(wchar_t); ++i) text[i] = i < nameChars ? name[i] : L'\0';

  auto* counters = reinterpret_cast<ProcessorCounters*>(at + instance->ByteLength);
  counters->block.ByteLength = sizeof(ProcessorCounters);
  counters->padding = 0;
  counters->idleTime = idleTime;
  return at + instance->ByteLength + sizeof(ProcessorCounters);
}

}  // namespace

DWORD ProcessorObjectSize(DWORD cpuCount) {
  DWORD size = sizeof(PERF_OBJECT_TYPE) + sizeof(PERF_COUNTER_DEFINITION) + InstanceSize(TotalNameChars);
  for (DWORD cpu = 0; cpu < cpuCount; ++cpu) size += InstanceSize(DecimalDigits(cpu) + 1);
  return size;
}

void WriteProcessorObject(BYTE* at, const SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION* cpus, DWORD cpuCount) {
  WriteObjectHeader(reinterpret_cast<PERF_OBJECT_TYPE*>(at), cpuCount);
  WriteCounterDefinition(reinterpret_cast<PERF_COUNTER_DEFINITION*>(at + sizeof(PERF_OBJECT_TYPE)));
  BYTE* next = at + sizeof(PERF_OBJECT_TYPE) + sizeof(PERF_COUNTER_DEFINITION);
  ULONGLONG idleSum = 0;
  for (DWORD cpu = 0; cpu < cpuCount; ++cpu) {
    wchar_t name[11];
    const DWORD digits = DecimalDigits(cpu);
    name[digits] = L'\0';
    for (DWORD n = cpu, i = digits; i-- > 0; n /= 10) name[i] = static_cast<wchar_t>(L'0' + n % 10);
    const LONGLONG idle = cpus[cpu].IdleTime.QuadPart;
    next = WriteInstance(next, name, digits + 1, idle);
    idleSum += idle;
  }
  // The average rather than the sum: a consumer divides by elapsed time, not by processors, so the
  // average makes "_Total" read as the machine's load.
  WriteInstance(next, TotalName, TotalNameChars, cpuCount ? idleSum / cpuCount : 0);
}

}  // namespace dvxperf
