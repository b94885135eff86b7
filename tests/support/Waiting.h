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

// The same for a thread with windows: it serves its messages while it waits, as a window that is
// asked something (the foreground, a timer, a synchronised call) must be served.
inline bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000) {
  return WaitUntil(
      [&condition] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return condition();
      },
      timeoutMs, 10);
}
