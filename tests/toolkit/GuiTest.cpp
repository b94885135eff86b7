#include "tests/toolkit/GuiTest.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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

bool RunOnAnotherThread(const std::function<void()>& body, DWORD timeoutMs) {
  std::atomic<bool> done{false};
  std::thread thread([&] {
    body();
    done = true;
  });
  const bool ended = PumpUntil([&done] { return done.load(); }, timeoutMs);
  thread.join();
  return ended;
}

RECT BoundsInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}
