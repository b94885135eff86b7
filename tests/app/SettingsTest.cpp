// The settings store against the real registry of the test prefix.
#include <vector>

#include "counters/Counters.h"
#include "tests/app/MainWindowFixture.h"

namespace {

const char* const kAllValues[] = {"Mode",          "Port",         "Interval",
                                  "MinimizeAtRun", "RememberSettings",
                                  "AllowMultipleInstances", "MinimizeMode", "Counter1",
                                  "Counter2",      "Counter3",     "Counter4",
                                  "Counter5",      "Counter6",     "Counter7",
                                  "Counter8"};


TEST_F(MainWindowTest, FirstStartShowsOneCounterPerChannelAndStoresEverythingAtShutdown) {
  Start();
  const int catalogue = CounterCount();
  for (int n = 1; n <= 8; ++n) {
    const int expected = n < catalogue ? n : 0;
    EXPECT_EQ(Get<ComboBox>("cbxCounter" + std::to_string(n)).ItemIndex(), expected) << n;
  }
  EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), 1);
  EXPECT_FALSE(StoredSettings().contains("Mode")) << "loading never writes";

  Stop();
  for (const char* name : kAllValues) EXPECT_TRUE(StoredSettings().contains(name)) << name;
  EXPECT_EQ(StoredSettings()["Mode"].Dword(), 1);
  EXPECT_EQ(StoredSettings()["Port"].Text(), "1");
  EXPECT_EQ(StoredSettings()["Interval"].Dword(), 400);
  EXPECT_EQ(StoredSettings()["MinimizeAtRun"].Dword(), 0);
  EXPECT_EQ(StoredSettings()["RememberSettings"].Dword(), 1);
  EXPECT_EQ(StoredSettings()["AllowMultipleInstances"].Dword(), 0);
  EXPECT_EQ(StoredSettings()["MinimizeMode"].Dword(), 0);
  EXPECT_EQ(StoredSettings()["Counter1"].Dword(), 1);
}

TEST_F(MainWindowTest, AnEmptyKeyMeansModeZeroAndChannelsFallBackToTheFirstCounter) {
  CreateEmptySettingsKey();
  Start();
  const int catalogue = CounterCount();
  EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), 0);
  EXPECT_EQ(Get<ComboBox>("cbxPortList").ItemIndex(), 0);
  EXPECT_EQ(Get<SpinEdit>("IntervalSpinEdit").Value(), 400);
  EXPECT_TRUE(Get<CheckBox>("cbxRemSettings").Checked());
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(Get<ComboBox>("cbxCounter" + std::to_string(n)).ItemIndex(), n < catalogue ? n : 1)
        << n;
  }
}

TEST_F(MainWindowTest, StoredValuesOutOfRangeAreCorrected) {
  struct Case {
    const char* what;
    int counter2, mode, minimizeMode, interval;
    int expectCounter2, expectMode, expectMinimizeMode, expectInterval;
  };
  const Case cases[] = {
      {"below", -5, -1, -1, 10, 1, 0, 0, 50},
      {"above", 99, 4, 3, 100000, 1, 0, 0, 5000},
      {"in range", 0, 3, 2, 1000, 0, 3, 2, 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreSetting("Counter2", c.counter2);
    StoreSetting("Mode", c.mode);
    StoreSetting("MinimizeMode", c.minimizeMode);
    StoreSetting("Interval", c.interval);
    Start();
    EXPECT_EQ(Get<ComboBox>("cbxCounter2").ItemIndex(), c.expectCounter2);
    EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), c.expectMode);
    EXPECT_EQ(Get<RadioGroup>("gbxMinMode").ItemIndex(), c.expectMinimizeMode);
    EXPECT_EQ(Get<SpinEdit>("IntervalSpinEdit").Value(), c.expectInterval);
    EXPECT_EQ(Get<Label>("lblMinNote").Visible(), c.expectMinimizeMode == 2);
    Stop();
  }
}

TEST_F(MainWindowTest, AValueOfTheWrongTypeEndsTheLoadThere) {
  StoreSetting("Mode", std::string("1"));
  StoreSetting("MinimizeAtRun", 1);
  StoreSetting("Counter1", 0);
  Start();
  // Nothing from the write mode on was applied.
  EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), 1);
  EXPECT_FALSE(Get<CheckBox>("cbxMinAtRun").Checked());
  EXPECT_EQ(Get<ComboBox>("cbxCounter1").ItemIndex(), 0) << "as start-up left it";
  EXPECT_EQ(Get<ComboBox>("cbxCounter2").ItemIndex(), 0);
}

TEST_F(MainWindowTest, StoredPortTextsAreReadSafelyWhateverTheirForm) {
  struct Case {
    const char* what;
    DWORD type;
    std::vector<char> data;
    int expectIndex;
  };
  const std::vector<char> longText(5000, '3');
  const Case cases[] = {
      {"REG_EXPAND_SZ taken as it is", REG_EXPAND_SZ, {'3', '\0'}, 1},
      {"no terminating zero", REG_SZ, {'3'}, 1},
      {"text ends at its first zero", REG_SZ, {'3', '\0', '9', '9', '\0'}, 1},
      {"empty value", REG_SZ, {}, 0},
      {"oversized text, not a listed port", REG_SZ, longText, 0},
      {"a port missing at start stays the choice", REG_SZ, {'7', '\0'}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreRawSetting("Port", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    StoreSetting("Counter8", 0);  // read after the port: proves the load went on
    Start();
    EXPECT_EQ(Get<ComboBox>("cbxPortList").ItemIndex(), c.expectIndex);
    EXPECT_EQ(Get<ComboBox>("cbxCounter8").ItemIndex(), 0);
    Stop();
  }
}

TEST_F(MainWindowTest, LoadingNeverWritesAndRememberOffFreezesTheStoredSettings) {
  StoreSetting("Interval", 1000);
  StoreSetting("Counter3", 0);
  StoreSetting("RememberSettings", 0);
  StoreSetting("Mode", 2);
  Start();
  EXPECT_EQ(Get<SpinEdit>("IntervalSpinEdit").Value(), 1000);
  EXPECT_EQ(Get<ComboBox>("cbxCounter3").ItemIndex(), 0);
  EXPECT_FALSE(Get<CheckBox>("cbxRemSettings").Checked());

  Choose("cbxWriteMode", 1);  // a user change saves, but remembering is off
  Stop();
  EXPECT_EQ(StoredSettings()["Mode"].Dword(), 2);
  EXPECT_FALSE(StoredSettings().contains("Port"));
}

// A policy or an administrator may leave the user a key to read, or to write, but not both.
TEST_F(MainWindowTest, AKeyReadableOnlyStillLoadsAndOneWritableOnlyStillStores) {
  StoreSetting("Mode", 3);
  RestrictSettings("D:P(A;;KR;;;WD)");
  Start();
  EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), 3);
  Stop();

  RestrictSettings("D:P(A;;KW;;;WD)");
  Start();
  Choose("cbxWriteMode", 2);
  Stop();
  RestrictSettings("D:P(A;;KA;;;WD)");
  EXPECT_EQ(StoredSettings()["Mode"].Dword(), 2);
}

TEST_F(MainWindowTest, AUserChangeSavesAllFifteenValuesAtOnce) {
  Start();
  Click("cbxMinAtRun");  // stored only by the next save
  Choose("cbxCounter4", 0);
  for (const char* name : kAllValues) EXPECT_TRUE(StoredSettings().contains(name)) << name;
  EXPECT_EQ(StoredSettings()["Counter4"].Dword(), 0);
  EXPECT_EQ(StoredSettings()["MinimizeAtRun"].Dword(), 1);
}

}  // namespace
