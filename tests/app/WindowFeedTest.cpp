// The window around the device feed, against a fake serial seam: start-up, ports that come and go,
// the user's choice of port, what the status line says, a sleep and the end.
#include <algorithm>
#include <numeric>

#include "tests/app/MainWindowFixture.h"
#include "tests/support/Waiting.h"

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

TEST_F(MainWindowTest, APortFailureShowsInRedAndANormalMessageInWindowText) {
  TfrmMain& form = Start();
  serial.writeShortBy = 1;
  form.PollAndSend();
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
  // The broadcast, and the notice the window asked for (Windows 8 on): one sleep.
  SendMessageA(form.Handle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
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
  Choose("cbxWriteMode", 0);
  Stop();
  EXPECT_EQ(serial.writes.back().bytes, Bytes{0});
  EXPECT_EQ(serial.writes.back().baud, 9600u);
  EXPECT_EQ(serial.OpenPorts(), 0);
}

}  // namespace
