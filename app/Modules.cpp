#include "app/Modules.h"

#include "counters/Counters.h"
#include "counters/RealCounters.h"
#include "cpuusage/CpuUsage.h"
#include "counters/RegionalSettings.h"

void InitializeModules() {
  InitRegionalSettings();
  InitFloatingPoint();
  InitCounters();
  InitCpuUsage();
  RegisterLoadCounters();
}

void FinalizeModules() noexcept {
  FinalizeCpuUsage();
  FinalizeCounters();
}
