// A small, distrustful reader of performance data for the tests: unlike the sampler it checks
// every record against the bytes it may read, and the 8-byte alignment of every length.
#pragma once

#include <windows.h>
#include <winperf.h>

#include <optional>
#include <string>
#include <vector>

struct ProcessorInstance {
  std::wstring name;
  LONGLONG idleTime;  // counter 6
};

struct ProcessorObjectReading {
  DWORD counterType;
  std::vector<ProcessorInstance> instances;
};

// The first object with that title index among the block's objects, or nullptr.
const PERF_OBJECT_TYPE* FindObject(const std::vector<BYTE>& block, DWORD titleIndex);

// Reads the Processor object at `object`, which may extend over `available` bytes; records a test
// failure and returns nothing when the object is malformed.
std::optional<ProcessorObjectReading> ReadProcessorObject(const BYTE* object, size_t available);
