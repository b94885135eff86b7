// Where a collected object has to go for the consumer of the query to find it.
#pragma once

#include <windows.h>

namespace dvxperf {

// The place for the next object, given the pointer the host handed to Collect.
//
// Windows hands over exactly that place. Wine 8.0 hands over a place sizeof(PERF_DATA_BLOCK) bytes
// further on (it steps over the block's fixed part twice), while the consumer, following the
// block's lengths, looks for the object at block + TotalByteLength; the room Wine reports is
// counted from there too. So under Wine the block is found behind `data`, and the object goes to
// block + TotalByteLength whenever `data` is either that place or that place plus the stray step.
// Anything else (no such block) gets the documented place, `data` itself.
BYTE* WhereConsumerLooks(BYTE* data);

}  // namespace dvxperf
