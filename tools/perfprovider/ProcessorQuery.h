// Which performance queries the Processor object answers.
#pragma once

namespace dvxperf {

constexpr unsigned ProcessorObjectIndex = 238;

// True for "Global" (also the empty query) and for a list of object indexes that holds 238 as a
// whole number; false for everything else, "Costly" and "Foreign" included: the Processor object
// is no costly object, and nothing here reaches other machines.
bool AsksForProcessor(const wchar_t* query);

}  // namespace dvxperf
