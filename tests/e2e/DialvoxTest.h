// The fixture of every end-to-end test: no copy of the program running, no stored settings, the
// device plugged in; and every copy a test started is gone when it ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "tests/e2e/Dialvox.h"

namespace e2e {

// Where a copy's window is, as the user sees it. Minimising and restoring take several steps; a
// test waits for all of them.
struct WindowState {
  bool windowShown;
  bool minimized;
  bool taskbarButtonShown;
  std::size_t trayIcons;  // the program's icons in the tray

  friend bool operator==(const WindowState&, const WindowState&) = default;
  friend std::ostream& operator<<(std::ostream& out, const WindowState& state);
};

WindowState StateOf(const Dialvox& dialvox);
// Whether the copy reaches `expected` within `timeoutMs`; if not, says where it stayed.
::testing::AssertionResult Reaches(const Dialvox& dialvox, const WindowState& expected,
                                   DWORD timeoutMs = 5000);

constexpr WindowState kOpen{true, false, true, 0};
constexpr WindowState kOnTaskbar{false, true, true, 0};
constexpr WindowState kInTray{false, true, false, 1};
constexpr WindowState kInvisible{false, true, false, 0};

class DialvoxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a copy without waiting for it.
  Dialvox& Launch();
  // Starts a copy and waits until its start-up is done; throws (failing the test) when it is not.
  Dialvox& Start();

 private:
  std::vector<std::unique_ptr<Dialvox>> copies_;
};

}  // namespace e2e
