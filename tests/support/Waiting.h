// Every wait of the tests has a limit: a program that hangs fails the test, not the run.
#pragma once

#include <windows.h>

#include <functional>

// Checks `condition` every `stepMs` until it holds or `timeoutMs` has passed; returns whether it held.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(stepMs);
  }
}
