#include "tests/toolkit/GuiTest.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "toolkit/Application.h"

namespace {

class ToolkitEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    App().Initialize(GetModuleHandleA(nullptr), "ToolkitTestWindow");
    App().SetTitle("Toolkit tests");
  }
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ToolkitEnvironment);

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    // Woken by input, and every 20 ms for conditions that no message announces (a thread's end).
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 20), QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  return true;
}

RECT BoundsInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}
