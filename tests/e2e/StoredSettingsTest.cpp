// The settings between runs, as the registry holds them: what a first run stores, what a later
// run restores, and that nothing is stored while remembering is off.
#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/DeviceLine.h"
#include "tests/e2e/DialvoxTest.h"
#include "tests/support/SettingsKey.h"
#include "tests/support/Waiting.h"

namespace e2e {
namespace {

class E2eStoredSettings : public DialvoxTest {
 protected:
  // Ends the copy as the user does and waits until it has gone.
  static void Quit(Dialvox& dialvox) {
    dialvox.Close();
    EXPECT_EQ(dialvox.WaitForExit(), 0u);
  }
};

TEST_F(E2eStoredSettings, FirstRunStoresEveryValueAtShutdown) {
  Dialvox& dialvox = Start();
  const int catalogueSize = dialvox.CatalogueSize();
  EXPECT_TRUE(StoredSettings().empty()) << "start-up stored something";
  Quit(dialvox);

  auto stored = StoredSettings();
  EXPECT_EQ(stored.size(), 15u);
  EXPECT_EQ(stored["Mode"].Dword(), 1);
  EXPECT_EQ(stored["Port"].type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored["Port"].data, (std::vector<BYTE>{'1', 0}));
  EXPECT_EQ(stored["Interval"].Dword(), 400);
  EXPECT_EQ(stored["MinimizeAtRun"].Dword(), 0);
  EXPECT_EQ(stored["RememberSettings"].Dword(), 1);
  EXPECT_EQ(stored["AllowMultipleInstances"].Dword(), 0);
  EXPECT_EQ(stored["MinimizeMode"].Dword(), 0);
  // Channel n starts on counter n where the list has one, else on "not used".
  for (int channel = 1; channel <= 8; ++channel) {
    EXPECT_EQ(stored["Counter" + std::to_string(channel)].Dword(), channel < catalogueSize ? channel : 0)
        << "channel " << channel;
  }
}

TEST_F(E2eStoredSettings, StoredChoicesAreRestoredAndLoadingStoresNothing) {
  StoreSetting("Mode", 2);
  StoreSetting("Port", std::string("1"));
  StoreSetting("Interval", 100);
  const DWORD counters[8] = {0, 3, 1, 2, 0, 3, 2, 1};
  for (int channel = 1; channel <= 8; ++channel)
    StoreSetting(("Counter" + std::to_string(channel)).c_str(), counters[channel - 1]);
  const auto before = StoredSettings();

  DeviceEnd device;
  Dialvox& dialvox = Start();
  EXPECT_EQ(dialvox.WriteMode(), 2);
  EXPECT_EQ(dialvox.IntervalText(), "100");
  for (int channel = 1; channel <= 8; ++channel)
    EXPECT_EQ(dialvox.ChannelChoice(channel), static_cast<int>(counters[channel - 1])) << "channel " << channel;

  // The stored interval drives the timer too, not only the box: full-scale frames, ten a second.
  device.Discard();
  const Reception reception = device.Listen(2000);
  EXPECT_GE(reception.Count(devicesim::FrameKind::Calibration100), 14u);
  EXPECT_LE(reception.frames.size(), 22u);
  EXPECT_EQ(reception.Count(devicesim::FrameKind::Calibration100), reception.frames.size());

  const auto whileRunning = StoredSettings();
  EXPECT_EQ(whileRunning.size(), before.size()) << "loading stored values";
}

// The session's end (log-off, shut-down) ends the process without closing the window: what the
// shutdown stores must be stored then. A session end that is called off stores nothing. An
// installer's Restart Manager sends the same and waits for the program to end by itself.
TEST_F(E2eStoredSettings, TheSessionsEndStoresWhatShutdownWouldAndEndsTheProgram) {
  DeviceEnd device;
  Dialvox& dialvox = Start();
  dialvox.ChooseMinimizeMode(1);  // a choice stored only by the next save
  SendMessageA(dialvox.MainWindow(), WM_ENDSESSION, FALSE, 0);
  device.Discard();
  EXPECT_FALSE(device.Listen(1000).frames.empty()) << "a cancelled session end stopped the feed";
  EXPECT_TRUE(StoredSettings().empty()) << "a cancelled session end stored something";

  device.Discard();
  SendMessageA(dialvox.MainWindow(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
  SendMessageA(dialvox.MainWindow(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
  EXPECT_EQ(dialvox.WaitForExit(), 0u) << "still running after the session's end";
  // The last frame on the wire puts the needles at rest.
  const Reception last = device.Listen(300);
  ASSERT_FALSE(last.frames.empty());
  EXPECT_EQ(last.frames.back().kind, devicesim::FrameKind::Calibration0);
  EXPECT_EQ(last.counts.skipped, 0u);

  auto stored = StoredSettings();
  EXPECT_EQ(stored.size(), 15u);
  EXPECT_EQ(stored["MinimizeMode"].Dword(), 1);
  device.Discard();
  EXPECT_TRUE(device.Listen(600).frames.empty()) << "the port is still fed after the session's end";
}

TEST_F(E2eStoredSettings, NothingIsStoredWhileRememberingIsOff) {
  StoreSetting("RememberSettings", 0);
  Dialvox& dialvox = Start();
  // A choice that stores at once while remembering is on; and the shutdown save.
  dialvox.ChooseWriteMode(2);
  Quit(dialvox);

  const auto stored = StoredSettings();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored.at("RememberSettings").Dword(), 0);
}

}  // namespace
}  // namespace e2e
