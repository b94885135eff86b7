// CPU load per processor instance, sampled from the operating system: the Processor object of the
// performance data on the NT family, the kernel's CPU usage statistic under HKEY_DYN_DATA on the
// 95/98 family. Free functions over module-level state; only the user-interface thread calls them.
// Started and ended in the modules' fixed order (app/Modules.h).
// Every failure is an Error with an English message.
#pragma once

class CpuUsageOs;

// Chooses the NT or the 95/98 path from GetVersionExA ("Can't get the Windows version") and makes
// the 8192-byte performance data buffer. Takes no sample. Tests pass their own operating system;
// calling it again starts afresh with that one.
void InitCpuUsage();
void InitCpuUsage(CpuUsageOs& os);

// Stops the 95/98 statistics if they were started and releases the buffers.
void FinalizeCpuUsage() noexcept;

// Takes a new sample on the active path.
void SampleCpuTimes();

// 95/98: 1. NT: the number of Processor instances (one per processor and then the total), fixed at
// the first sample, which is taken here if none has been.
int CpuInstanceCount();

// The load of an instance between the last two samples, nominally 0.0 (idle) to 1.0 (busy), not
// clamped. "CPU index out of bounds" for an index outside the instances.
double CpuLoadFraction(int index);

// 95/98: ends the statistics if they were started. Does nothing on the NT path. Raises nothing.
void StopCpuMonitoring() noexcept;
