// Start-up and shutdown of the program's modules, in their fixed order, called by the entry:
// nothing relies on the order of static initialisers.
#pragma once

// Regional settings and the FPU, the counter catalogue (the not-used counter first), the CPU
// sampler (chooses its path), then the load counters (first CPU sample, one counter per
// processor instance, the memory counters). Errors pass to the caller.
void InitializeModules();

// The reverse, after the main window: the sampler stops its statistics, the catalogue frees the
// counters.
void FinalizeModules() noexcept;
