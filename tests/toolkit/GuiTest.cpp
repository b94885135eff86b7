#include "tests/toolkit/GuiTest.h"

#include <gtest/gtest.h>

#include "tests/support/Waiting.h"
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
  return WaitUntil(
      [&done] {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return done();
      },
      timeoutMs, 10);
}

RECT BoundsInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}
