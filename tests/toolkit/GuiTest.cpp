#include "tests/toolkit/GuiTest.h"

#include <gtest/gtest.h>

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

RECT BoundsInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}
