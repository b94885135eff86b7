#include "tests/e2e/DialvoxTest.h"

#include <stdexcept>

#include "tests/e2e/DeviceLine.h"
#include "tests/e2e/Tray.h"
#include "tests/support/SettingsKey.h"
#include "tests/support/Waiting.h"

namespace e2e {

std::ostream& operator<<(std::ostream& out, const WindowState& state) {
  return out << "{window " << (state.windowShown ? "shown" : "hidden") << ", "
             << (state.minimized ? "minimised" : "not minimised") << ", taskbar button "
             << (state.taskbarButtonShown ? "shown" : "hidden") << ", " << state.trayIcons
             << " tray icons}";
}

WindowState StateOf(const Dialvox& dialvox) {
  return {dialvox.WindowShown(), dialvox.Minimized(), dialvox.TaskbarButtonShown(),
          DialvoxTrayIcons().size()};
}

::testing::AssertionResult Reaches(const Dialvox& dialvox, const WindowState& expected, DWORD timeoutMs) {
  WindowState state{};
  if (WaitUntil([&] { return (state = StateOf(dialvox)) == expected; }, timeoutMs))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "stays " << state << " instead of " << expected;
}

void DialvoxTest::SetUp() {
  EndAllCopies();
  DeleteSettings();
  if (!DevicePlugged()) PlugDevice();
}

void DialvoxTest::TearDown() {
  copies_.clear();
  EndAllCopies();
}

Dialvox& DialvoxTest::Launch() {
  copies_.push_back(std::make_unique<Dialvox>());
  return *copies_.back();
}

Dialvox& DialvoxTest::Start() {
  Dialvox& copy = Launch();
  if (!copy.WaitUntilStarted()) throw std::runtime_error("dialvox.exe did not finish its start-up");
  return copy;
}

}  // namespace e2e
