// The window's start-up and poll cycle against a fake serial seam: what reaches the device, and
// what the status line says when the port misbehaves.
#include <algorithm>
#include <numeric>

#include "counters/Counters.h"
#include "tests/app/MainWindowFixture.h"
#include "tests/support/Waiting.h"
#include "toolkit/Application.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint8_t Checksum(const Bytes& frame) {
  return std::accumulate(frame.begin() + 2, frame.begin() + 10, std::uint8_t{0},
                         [](std::uint8_t a, std::uint8_t b) { return std::uint8_t(a ^ b); });
}

TEST_F(MainWindowTest, StartUpProbesThePortsAndSendsTheFirstFrameBeforeTheTimer) {
  Start();
  EXPECT_EQ(StatusText(), "Готов");
  EXPECT_FALSE(StatusIsError());
  auto& ports = Get<ComboBox>("cbxPortList");
  ASSERT_EQ(ports.Count(), 2);
  EXPECT_EQ(ports.ItemText(0), "1");
  EXPECT_EQ(ports.ItemText(1), "3");
  EXPECT_EQ(ports.Text(), "1");
  EXPECT_EQ(Get<ComboBox>("cbxWriteMode").ItemIndex(), 1);
  EXPECT_EQ(Get<PageControl>("PageControl").ActivePage(), 0);
  EXPECT_FALSE(Get<Label>("lblMinNote").Visible());

  ASSERT_EQ(serial.writes.size(), 1u);
  const auto& first = serial.writes[0];
  EXPECT_EQ(first.port, "COM1");
  EXPECT_EQ(first.baud, 115200u);
  ASSERT_EQ(first.bytes.size(), 11u);
  EXPECT_EQ(first.bytes[0], 0x11);
  EXPECT_EQ(first.bytes[1], 0x22);
  EXPECT_EQ(first.bytes[10], Checksum(first.bytes));
  // Every channel with a counter shows its text from the first cycle on.
  for (int n = 1; n <= 8; ++n) {
    EXPECT_NE(Get<ValueLabel>("lblCounter" + std::to_string(n)).Text(), "n/a") << n;
  }
}

TEST_F(MainWindowTest, ChannelBytesFollowTheLabelsAndUnusedChannelsSendZero) {
  TfrmMain& form = Start();
  // Channel 1: not used; channel 2: no choice at all; channel 3: physical memory.
  Get<ComboBox>("cbxCounter1").SetItemIndex(0);
  Get<ComboBox>("cbxCounter2").SetItemIndex(-1);
  Get<ComboBox>("cbxCounter3").SetItemIndex(CounterCount() - 3);
  const std::string channel2Text = Get<ValueLabel>("lblCounter2").Text();
  serial.writes.clear();
  form.PollAndSend();

  ASSERT_EQ(serial.writes.size(), 1u);
  const Bytes& frame = serial.writes[0].bytes;
  EXPECT_EQ(frame[2], 0);
  EXPECT_EQ(Get<ValueLabel>("lblCounter1").Text(), "нет");
  EXPECT_EQ(frame[3], 0);
  EXPECT_EQ(Get<ValueLabel>("lblCounter2").Text(), channel2Text);
  EXPECT_EQ(frame[4], CounterByIndex(CounterCount() - 3)->GetByte());
  EXPECT_EQ(frame[10], Checksum(frame));
}

TEST_F(MainWindowTest, EachWriteModeSendsItsBytesAtItsRate) {
  TfrmMain& form = Start();
  auto& mode = Get<ComboBox>("cbxWriteMode");
  // Channel 1 on physical memory, whose byte is never 0: the single byte must be channel 1's.
  const int physical = CounterCount() - 3;
  Get<ComboBox>("cbxCounter1").SetItemIndex(physical);
  serial.writes.clear();

  mode.SetItemIndex(0);
  form.PollAndSend();
  const std::uint8_t channel1 = CounterByIndex(physical)->GetByte();
  mode.SetItemIndex(2);
  form.PollAndSend();
  mode.SetItemIndex(3);
  form.PollAndSend();
  mode.SetItemIndex(-1);
  form.PollAndSend();

  ASSERT_EQ(serial.writes.size(), 3u);
  EXPECT_EQ(serial.writes[0].baud, 9600u);
  ASSERT_EQ(serial.writes[0].bytes.size(), 1u);
  EXPECT_NE(channel1, 0);
  EXPECT_EQ(serial.writes[0].bytes[0], channel1);
  EXPECT_EQ(serial.writes[1].baud, 115200u);
  EXPECT_EQ(serial.writes[1].bytes,
            (Bytes{0x11, 0x22, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}));
  EXPECT_EQ(serial.writes[2].bytes, (Bytes{0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  // No mode: nothing sent, and the port stays open as it was.
  EXPECT_EQ(serial.OpenPorts(), 1);
}

TEST_F(MainWindowTest, SwitchingBetweenOneAndEightChannelsReopensThePortAtTheNewRate) {
  TfrmMain& form = Start();
  const int opensBefore = serial.opens;
  Get<ComboBox>("cbxWriteMode").SetItemIndex(0);
  form.PollAndSend();
  form.PollAndSend();
  Get<ComboBox>("cbxWriteMode").SetItemIndex(1);
  form.PollAndSend();
  EXPECT_EQ(serial.opens - opensBefore, 2);  // once per change of rate, never per tick
  EXPECT_EQ(serial.OpenPorts(), 1);
  EXPECT_EQ(serial.writes.back().baud, 115200u);
}

TEST_F(MainWindowTest, WithoutPortsNothingIsWrittenUntilOneArrivesAndIsChosen) {
  serial.present.clear();
  TfrmMain& form = Start();
  EXPECT_EQ(StatusText(), "COM портов не найдено");
  EXPECT_TRUE(StatusIsError());
  EXPECT_EQ(Get<ComboBox>("cbxPortList").ItemIndex(), -1);
  const int probes = serial.opens;
  form.PollAndSend();
  EXPECT_EQ(serial.opens, probes);
  EXPECT_TRUE(serial.writes.empty());

  // A record too short to hold its own header is not read past its size: here it ends where
  // readable memory does.
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  auto* pages = static_cast<BYTE*>(
      VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD protection = 0;
  VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &protection);
  auto* shortRecord = reinterpret_cast<DWORD*>(pages + system.dwPageSize - sizeof(DWORD));
  *shortRecord = sizeof(DWORD);
  SendMessageA(form.Handle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(shortRecord));
  VirtualFree(pages, 0, MEM_RELEASE);
  EXPECT_EQ(Get<ComboBox>("cbxPortList").ItemIndex(), -1);

  // An adapter arrives as COM5: with no choice to keep it becomes the choice, not COM1.
  serial.present = {"COM1", "COM5"};
  AnnounceDevice(form.Handle(), DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, "COM5");
  EXPECT_EQ(Get<ComboBox>("cbxPortList").Text(), "5");
  EXPECT_EQ(StatusText(), "Готов");
  EXPECT_FALSE(StatusIsError());
  form.PollAndSend();
  ASSERT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(serial.writes.back().port, "COM5");
}

TEST_F(MainWindowTest, ADeviceThatGoesAwayIsReopenedEveryTickUntilItIsBack) {
  TfrmMain& form = Start();

  // The adapter is pulled out: the write call fails with its code, and the port is let go.
  serial.failing["WriteFile"] = ERROR_NOT_READY;
  form.PollAndSend();
  EXPECT_EQ(serial.OpenPorts(), 0);
  EXPECT_EQ(StatusText(), "Ошибка записи в COM порт (21)");
  EXPECT_TRUE(StatusIsError());

  // While it is away, every tick tries to open it once and says why it could not.
  serial.failing["Open"] = ERROR_FILE_NOT_FOUND;
  const int opensBefore = serial.opens;
  form.PollAndSend();
  form.PollAndSend();
  EXPECT_EQ(serial.opens - opensBefore, 2);
  EXPECT_EQ(StatusText(), "Ошибка открытия COM порта (2)");
  EXPECT_TRUE(StatusIsError());

  // Back again: the next tick opens and writes; the message stays until another replaces it.
  serial.failing.clear();
  serial.writes.clear();
  form.PollAndSend();
  EXPECT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(StatusText(), "Ошибка открытия COM порта (2)");
}

TEST_F(MainWindowTest, AShortWriteKeepsThePortOpenAndReachesTheStatusLineAsAnError) {
  TfrmMain& form = Start();
  serial.writeShortBy = 1;
  form.PollAndSend();
  EXPECT_EQ(serial.OpenPorts(), 1);
  // The write time-out ran out: ERROR_TIMEOUT.
  EXPECT_EQ(StatusText(), "Ошибка записи в COM порт (1460)");
  EXPECT_TRUE(StatusIsError());

  // The colour is set on every call.
  form.ShowStatus(false, "Готов");
  EXPECT_FALSE(StatusIsError());
  EXPECT_EQ(TextColourOf(Get<Edit>("txtStatusLine").Handle()), GetSysColor(COLOR_WINDOWTEXT));
}

TEST_F(MainWindowTest, ChoosingAnotherPortMovesAnOpenPortAtOnceAndStoresIt) {
  TfrmMain& form = Start();
  Choose("cbxPortList", 1);
  EXPECT_EQ(serial.OpenPorts(), 1);
  serial.writes.clear();
  form.PollAndSend();
  ASSERT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(serial.writes[0].port, "COM3");
  EXPECT_EQ(StoredSettings()["Port"].Text(), "3");
}

// The device keeps showing the last bytes it was sent, also while the PC sleeps (it often keeps
// its power) and after the program ends: zero then, as the last write. A USB adapter is often a
// new device after a wake.
TEST_F(MainWindowTest, TheNeedlesRestWhileThePcSleepsAndWhenTheProgramEnds) {
  TfrmMain& form = Start();
  const Bytes rest{0x11, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  serial.writes.clear();
  SendMessageA(form.Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  ASSERT_EQ(serial.writes.size(), 1u);
  EXPECT_EQ(serial.writes[0].bytes, rest);
  PumpUntil([] { return false; }, 600);
  EXPECT_EQ(serial.writes.size(), 1u) << "a tick moved the needles while asleep";

  // The first wake message opens the port afresh and feeds at once; the next changes nothing.
  serial.calls.clear();
  SendMessageA(form.Handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  SendMessageA(form.Handle(), WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  ASSERT_FALSE(serial.calls.empty());
  EXPECT_EQ(serial.calls.front(), "CloseHandle COM1");
  EXPECT_EQ(std::count(serial.calls.begin(), serial.calls.end(), "Open COM1"), 1);
  EXPECT_EQ(serial.writes.size(), 2u);
  EXPECT_TRUE(PumpUntil([this] { return serial.writes.size() > 2; }, 1000)) << "the ticks did not resume";

  // The end, in the one-byte mode chosen since the last tick: the byte 0 at its rate, last of all.
  Get<ComboBox>("cbxWriteMode").SetItemIndex(0);
  Stop();
  EXPECT_EQ(serial.writes.back().bytes, Bytes{0});
  EXPECT_EQ(serial.writes.back().baud, 9600u);
  EXPECT_EQ(serial.OpenPorts(), 0);
}

}  // namespace
