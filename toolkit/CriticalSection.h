// A lock between the threads of the process: the system's critical section, which every Windows
// has (the program's C++ runtime has no std::mutex).
#pragma once

#include <windows.h>

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  // Holds the section for its own lifetime.
  class Lock {
   public:
    explicit Lock(CriticalSection& section) : section_(section.section_) {
      EnterCriticalSection(&section_);
    }
    ~Lock() { LeaveCriticalSection(&section_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CRITICAL_SECTION& section_;
  };

 private:
  CRITICAL_SECTION section_;
};
