// What the device receives from the running program, read at the far end of the cable: the frames
// and their rate, the bytes behind the texts the window shows, each write mode, and a device that
// is pulled out and plugged back in while the program runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "tests/e2e/DeviceLine.h"
#include "tests/e2e/DialvoxTest.h"
#include "base/UniqueResource.h"
#include "tests/support/SettingsKey.h"
#include "tests/support/UnixShell.h"
#include "tests/support/UserActions.h"
#include "tests/support/Waiting.h"

namespace e2e {
namespace {

using devicesim::FrameKind;

// The bytes a value label's text allows. The label shows the value rounded to two decimals, so the
// value lies within half a hundredth of the text, and the byte is the value × 2.55, rounded.
struct ByteRange {
  long low, high;
  bool Contains(int byte) const { return byte >= low && byte <= high; }
};

ByteRange BytesShownBy(const std::string& label) {
  if (label == "нет") return {0, 0};  // the channel is not used
  std::string number = label.substr(0, label.find(' '));
  std::replace(number.begin(), number.end(), ',', '.');  // the Russian decimal comma
  char* end = nullptr;
  const double value = std::strtod(number.c_str(), &end);
  if (end == number.c_str() || label.substr(number.size()) != " %") return {-1, -1};
  const auto toByte = [](double percent) { return std::clamp(std::lround(percent * 2.55), 0L, 255L); };
  return {toByte(value - 0.005), toByte(value + 0.005)};
}

std::size_t FramesOfAnyKind(const Reception& reception) {
  return reception.frames.size() - reception.Count(FrameKind::OneByte);
}

// Notes every text the status line shows while it exists: a message may stand for one tick only.
class StatusWatch {
 public:
  explicit StatusWatch(const Dialvox& dialvox)
      : thread_([this, &dialvox] {
          while (!stop_) {
            const std::string text = dialvox.StatusText();
            {
              const std::lock_guard lock(mutex_);
              seen_.insert(text);
            }
            Sleep(10);
          }
        }) {}
  ~StatusWatch() {
    stop_ = true;
    thread_.join();
  }
  StatusWatch(const StatusWatch&) = delete;
  StatusWatch& operator=(const StatusWatch&) = delete;

  // Whether a text starting with `start` was shown.
  bool Saw(const std::string& start) const {
    const std::lock_guard lock(mutex_);
    const auto next = seen_.lower_bound(start);
    return next != seen_.end() && next->starts_with(start);
  }

 private:
  mutable std::mutex mutex_;
  std::set<std::string> seen_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class E2eDeviceFeed : public DialvoxTest {
 protected:
  // A stored key without a write mode would select the one-byte mode: the frame mode is stored too.
  static void StoreFeed(DWORD intervalMs) {
    StoreSetting("Mode", 1);
    StoreSetting("Interval", intervalMs);
  }
};

TEST_F(E2eDeviceFeed, StartsReadyAndSendsValidFramesAtTheTickRate) {
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  EXPECT_EQ(dialvox.StatusText(), "Готов");
  ASSERT_TRUE(WaitUntil([&] { return dialvox.WindowShown(); }, 5000));
  EXPECT_FALSE(dialvox.StatusInRed());

  device.Discard();
  const Reception reception = device.Listen(2000);
  // 20 ticks in 2 s; a busy machine may let a few fall due late (they are not made up).
  EXPECT_GE(FramesOfAnyKind(reception), 14u);
  EXPECT_LE(FramesOfAnyKind(reception), 22u);
  EXPECT_EQ(reception.Count(FrameKind::OneByte), 0u);
  EXPECT_EQ(reception.counts.bad, 0u) << "frames with a wrong checksum";
  EXPECT_EQ(reception.counts.skipped, 0u) << "bytes outside any frame";
  EXPECT_EQ(ProgramLineSpeed(), "115200");
}

TEST_F(E2eDeviceFeed, ChannelBytesAreTheValuesTheLabelsShow) {
  // Ticks far apart: the labels are read well before the next tick changes them.
  StoreFeed(600);
  DeviceEnd device;
  Dialvox& dialvox = Start();

  for (int attempt = 0; attempt < 3; ++attempt) {
    device.Discard();
    devicesim::Frame frame;
    ASSERT_TRUE(device.NextFrame(frame, 3000)) << "no frame arrived";
    const auto arrived = std::chrono::steady_clock::now();
    std::string labels[8];
    for (int channel = 1; channel <= 8; ++channel) labels[channel - 1] = dialvox.ValueLabel(channel);
    if (std::chrono::steady_clock::now() - arrived > std::chrono::milliseconds(200)) continue;

    for (int channel = 1; channel <= 8; ++channel) {
      const ByteRange range = BytesShownBy(labels[channel - 1]);
      EXPECT_TRUE(range.Contains(frame.channels[channel - 1]))
          << "channel " << channel << " shows \"" << labels[channel - 1] << "\" but sends "
          << int{frame.channels[channel - 1]};
    }
    return;
  }
  FAIL() << "the labels could never be read between two ticks";
}

TEST_F(E2eDeviceFeed, EachWriteModeSendsItsBytesAtItsRate) {
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  // Channel 1 on physical memory (the first of the three memory counters that end the list):
  // a figure that holds still while the single bytes are compared with its label.
  dialvox.ChooseCounter(1, dialvox.CatalogueSize() - 3);

  const struct {
    int mode;
    FrameKind kind;
    const char* speed;
  } modes[] = {
      {2, FrameKind::Calibration100, "115200"},  // 11 22 FF FF FF FF FF FF FF FF 00
      {3, FrameKind::Calibration0, "115200"},    // 11 22 00 00 00 00 00 00 00 00 00
      {0, FrameKind::OneByte, "9600"},           // channel 1's byte alone
      {1, FrameKind::EightChannel, "115200"},    // back from 9600 to the frame
  };
  for (const auto& expected : modes) {
    SCOPED_TRACE("write mode " + std::to_string(expected.mode));
    dialvox.ChooseWriteMode(expected.mode);
    Sleep(300);  // the tick under way may still send the old mode
    device.Discard();
    const Reception reception = device.Listen(800);
    const std::string label = dialvox.ValueLabel(1);

    EXPECT_GE(reception.frames.size(), 4u);
    EXPECT_EQ(reception.Count(expected.kind), reception.frames.size());
    EXPECT_EQ(reception.counts.bad, 0u);
    EXPECT_EQ(reception.counts.skipped, 0u);
    EXPECT_EQ(ProgramLineSpeed(), expected.speed);
    EXPECT_EQ(StoredSettings()["Mode"].Dword(), expected.mode) << "the choice was not stored";
    if (expected.mode == 0 || expected.mode == 1) {
      // Memory load may move by a byte between a reading and the label read after it.
      const ByteRange shown = BytesShownBy(label);
      const ByteRange nearShown{shown.low - 1, shown.high + 1};
      for (const auto& frame : reception.frames) {
        EXPECT_TRUE(nearShown.Contains(frame.channels[0]))
            << "channel 1 shows \"" << label << "\" but sends " << int{frame.channels[0]};
      }
    }
  }
}

// The device keeps showing what it was sent last, also while the PC sleeps (it often keeps its
// power) and after the program has ended: zero on every channel then. The wake brings the feed
// back at once, whatever the interval.
TEST_F(E2eDeviceFeed, TheNeedlesRestWhileThePcSleepsAndAfterTheProgramEnds) {
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  const auto announce = [&dialvox](WPARAM event) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(dialvox.MainWindow(), WM_POWERBROADCAST, event, 0, SMTO_NORMAL, 5000, &answer);
  };
  device.Discard();
  announce(PBT_APMSUSPEND);
  const Reception asleep = device.Listen(1000);
  ASSERT_FALSE(asleep.frames.empty());
  EXPECT_EQ(asleep.frames.back().kind, FrameKind::Calibration0) << "frames went on after the sleep began";
  announce(PBT_APMRESUMEAUTOMATIC);
  devicesim::Frame frame;
  EXPECT_TRUE(device.NextFrame(frame, 1000)) << "no frame within a second of the wake";
  EXPECT_EQ(frame.kind, FrameKind::EightChannel);

  device.Discard();
  dialvox.Close();
  EXPECT_EQ(dialvox.WaitForExit(), 0u);
  Reception last = device.Listen(300);
  ASSERT_FALSE(last.frames.empty());
  EXPECT_EQ(last.frames.back().kind, FrameKind::Calibration0);
  EXPECT_EQ(last.counts.skipped, 0u);

  // The one-byte device, its channel on a figure that is never 0: the byte 0 comes last.
  Dialvox& again = Start();
  again.ChooseCounter(1, again.CatalogueSize() - 3);
  again.ChooseWriteMode(0);
  Sleep(300);
  device.Discard();
  again.Close();
  EXPECT_EQ(again.WaitForExit(), 0u);
  last = device.Listen(300);
  ASSERT_FALSE(last.frames.empty());
  EXPECT_EQ(last.Count(FrameKind::OneByte), last.frames.size());
  EXPECT_EQ(last.frames.back().channels[0], 0);
}

TEST_F(E2eDeviceFeed, FramesResumeWithoutRestartWhenTheDeviceComesBack) {
  struct PlugBackIn {
    ~PlugBackIn() {
      if (!DevicePlugged()) PlugDevice();
    }
  } plugBackIn;
  StoreFeed(250);
  Dialvox& dialvox = Start();
  {
    DeviceEnd device;
    devicesim::Frame frame;
    ASSERT_TRUE(device.NextFrame(frame, 3000)) << "no frame before the device was pulled out";
  }

  {
    // The failed write shows for one tick; the next tick tries to open the port again and reports
    // that failure in its turn.
    const StatusWatch watch(dialvox);
    UnplugDevice();
    EXPECT_TRUE(WaitUntil(
        [&] {
          return watch.Saw("Ошибка записи в COM порт (") &&
                 dialvox.StatusText().starts_with("Ошибка открытия COM порта (");
        },
        5000))
        << "the status line did not report the missing device; it shows \"" << dialvox.StatusText() << '"';
  }
  EXPECT_TRUE(dialvox.StatusInRed());

  PlugDevice();
  DeviceEnd device;
  devicesim::Frame frame;
  ASSERT_TRUE(device.NextFrame(frame, 5000)) << "no frame after the device came back";
  const Reception reception = device.Listen(1000);
  EXPECT_GE(FramesOfAnyKind(reception), 3u);
  EXPECT_EQ(reception.counts.bad, 0u);
  EXPECT_TRUE(dialvox.Running());
  // Nothing clears an error: the line keeps it after the frames resumed.
  EXPECT_TRUE(dialvox.StatusInRed());
}

TEST_F(E2eDeviceFeed, ADeviceThatFailsTheFirstWriteIsFedOnceItAnswers) {
  struct ReleaseLine {
    ~ReleaseLine() { HoldLine(false); }
  } releaseLine;
  StoreFeed(100);
  // The device takes nothing when the program starts: the first cycle's write runs into its
  // time-out (100 ms a byte and 1 s more for a frame).
  HoldLine(true);
  Dialvox& dialvox = Start();
  ASSERT_TRUE(WaitUntil(
      [&] { return dialvox.StatusText().starts_with("Ошибка записи в COM порт ("); }, 10000))
      << "the status line shows \"" << dialvox.StatusText() << '"';
  EXPECT_TRUE(dialvox.StatusInRed());

  DeviceEnd device;
  HoldLine(false);
  device.Listen(500);  // what was stuck on the line
  devicesim::Frame frame;
  ASSERT_TRUE(device.NextFrame(frame, 5000)) << "the timer never fed the device";
  EXPECT_GE(FramesOfAnyKind(device.Listen(1000)), 5u);
  EXPECT_TRUE(dialvox.Running());
}

TEST_F(E2eDeviceFeed, APortAboveNineIsListedFedAndStored) {
  // A USB adapter's port number: on the NT family only its device path reaches it.
  struct UnplugCom12 {
    ~UnplugCom12() { UnplugDevice("com12"); }
  } unplugCom12;
  PlugDevice("com12", "com13");
  StoreFeed(100);
  Dialvox& dialvox = Start();
  const std::vector<std::string> ports = dialvox.Ports();
  const auto twelve = std::find(ports.begin(), ports.end(), "12");
  std::string listed;
  for (const std::string& port : ports) listed += " " + port;
  ASSERT_NE(twelve, ports.end()) << "COM12 is not listed; the ports are" << listed;

  DeviceEnd device("\\\\.\\COM13");
  dialvox.ChoosePort(static_cast<int>(twelve - ports.begin()));
  devicesim::Frame frame;
  ASSERT_TRUE(device.NextFrame(frame, 3000)) << "nothing arrived on COM12";
  EXPECT_GE(FramesOfAnyKind(device.Listen(1000)), 5u);
  const StoredValue stored = StoredSettings()["Port"];
  EXPECT_EQ(std::string(stored.data.begin(), stored.data.end()), std::string("12", 3));
}

// COM20 and COM21 of the prefix: an adapter that is not plugged in when the program starts.
struct Adapter {
  Adapter() { UnplugAdapter("com20"); }
  ~Adapter() { UnplugAdapter("com20"); }
  void PlugIn() const { PlugAdapter("com20", "com21"); }
  static DeviceEnd FarEnd() { return DeviceEnd("\\\\.\\COM21"); }
};

std::string Listed(const std::vector<std::string>& ports) {
  std::string listed;
  for (const std::string& port : ports) listed += " " + port;
  return listed;
}

TEST_F(E2eDeviceFeed, AStoredPortMissingAtStartStaysTheChoiceAndIsFedOnceItAppears) {
  const Adapter adapter;
  StoreFeed(100);
  StoreSetting("Port", std::string("20"));
  DeviceEnd device;  // on COM1, which must not be fed in its stead
  Dialvox& dialvox = Start();

  const std::vector<std::string> ports = dialvox.Ports();
  ASSERT_FALSE(ports.empty());
  EXPECT_EQ(ports.back(), "20") << "ports:" << Listed(ports);
  EXPECT_EQ(dialvox.PortChoice(), static_cast<int>(ports.size()) - 1);
  EXPECT_TRUE(dialvox.StatusText().starts_with("Ошибка открытия COM порта (")) << dialvox.StatusText();
  device.Discard();
  EXPECT_TRUE(device.Listen(1000).frames.empty()) << "another port was fed instead";

  adapter.PlugIn();
  DeviceEnd adapterEnd = Adapter::FarEnd();
  devicesim::Frame frame;
  EXPECT_TRUE(adapterEnd.NextFrame(frame, 3000)) << "the port was not fed once it appeared";
  dialvox.Close();
  EXPECT_EQ(dialvox.WaitForExit(), 0u);
  const StoredValue stored = StoredSettings()["Port"];
  EXPECT_EQ(std::string(stored.data.begin(), stored.data.end()), std::string("20", 3));
}

TEST_F(E2eDeviceFeed, APortThatArrivesWhileRunningJoinsTheListInOrder) {
  const Adapter adapter;
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  const std::vector<std::string> before = dialvox.Ports();
  const int choice = dialvox.PortChoice();
  adapter.PlugIn();

  // Nothing but a COM port's arrival adds to the list.
  AnnounceDevice(dialvox.MainWindow(), DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_PORT, "COM20");
  AnnounceDevice(dialvox.MainWindow(), DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, "LPT2");
  AnnounceDevice(dialvox.MainWindow(), DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, "COM20");
  EXPECT_EQ(dialvox.Ports(), before);

  AnnounceDevice(dialvox.MainWindow(), DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, "COM20");
  std::vector<std::string> expected = before;
  expected.insert(std::find_if(expected.begin(), expected.end(),
                               [](const std::string& port) { return std::stoi(port) > 20; }),
                  "20");
  const std::vector<std::string> after = dialvox.Ports();
  ASSERT_EQ(after, expected) << "ports:" << Listed(after);
  EXPECT_EQ(dialvox.PortChoice(), choice) << "the choice moved";
  device.Discard();
  EXPECT_FALSE(device.Listen(500).frames.empty()) << "the port in use is no longer fed";

  DeviceEnd adapterEnd = Adapter::FarEnd();
  dialvox.ChoosePort(static_cast<int>(std::find(after.begin(), after.end(), "20") - after.begin()));
  devicesim::Frame frame;
  EXPECT_TRUE(adapterEnd.NextFrame(frame, 3000)) << "the new port was not fed once chosen";
}

// Any program may post to any window, and some broadcast carelessly: no parameters of theirs
// are taken for the program's own pointers.
TEST_F(E2eDeviceFeed, OtherProgramsPostsCannotStopIt) {
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  const LPARAM junk[] = {static_cast<LPARAM>(-1), 0x12345678, 1};
  for (const HWND window : {dialvox.MainWindow(), dialvox.TaskbarWindow()}) {
    for (const LPARAM value : junk) {
      for (UINT message = WM_USER; message <= WM_USER + 0x3FF; ++message)
        PostMessageA(window, message, static_cast<WPARAM>(value), value);
      for (UINT message = WM_APP; message <= WM_APP + 0xFF; ++message)
        PostMessageA(window, message, static_cast<WPARAM>(value), value);
      PostMessageA(window, WM_NOTIFY, 0, value);
      PostMessageA(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, value);
    }
  }
  Sleep(2000);
  ASSERT_TRUE(dialvox.Running());
  device.Discard();
  EXPECT_GE(FramesOfAnyKind(device.Listen(1000)), 5u);
}

// An xdotool script that moves the pointer over every point of `area`, `step` pixels apart. The
// virtual desktop fills the X screen from its origin, so desktop and X coordinates are the same.
std::string SweepOver(const RECT& area, int step) {
  std::string script;
  for (LONG y = area.top; y < area.bottom; y += step)
    for (LONG x = area.left; x < area.right; x += step)
      script += "mousemove " + std::to_string(x) + " " + std::to_string(y) + "\nsleep 0.001\n";
  return script;
}

std::string ClickAt(LONG x, LONG y) {
  return "mousemove " + std::to_string(x) + " " + std::to_string(y) + "\nclick 1\nsleep 0.3\n";
}

RECT BoundsOf(HWND window) {
  RECT bounds{};
  GetWindowRect(window, &bounds);
  return bounds;
}

TEST_F(E2eDeviceFeed, KeepsFeedingWhileThePointerCrossesEveryPartOfTheWindow) {
  StoreFeed(100);
  DeviceEnd device;
  Dialvox& dialvox = Start();
  ASSERT_TRUE(WaitUntil([&] { return dialvox.WindowShown(); }, 5000));
  const HWND main = dialvox.MainWindow();

  // Every page in turn, the pointer over the whole window: the bare form around the pages, the
  // status row, the page area and each control; then over the dropped list of a channel.
  const RECT window = BoundsOf(main);
  const RECT tabs = BoundsOf(GetDlgItem(main, idPageControl));
  const LONG tabWidth = (tabs.right - tabs.left - 6) / 3;
  std::string script;
  for (const int page : {1, 2, 0}) {
    script += ClickAt(tabs.left + 2 + tabWidth * page + tabWidth / 2, tabs.top + 10);
    script += SweepOver(window, 9);
  }
  const RECT list = BoundsOf(GetDlgItem(main, CounterListId(1)));
  script += ClickAt((list.left + list.right) / 2, (list.top + list.bottom) / 2);
  script += SweepOver(RECT{list.left, list.bottom, list.right, list.bottom + 120}, 4);
  script += "key Escape\n";

  const std::string path = std::string(DVX_TEST_WORK_DIR) + "/pointer-sweep.xdo";
  CreateDirectoryA(WindowsPath(DVX_TEST_WORK_DIR).c_str(), nullptr);
  {
    FileHandle file(CreateFileA(WindowsPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), script.data(), static_cast<DWORD>(script.size()),
                                  &written, nullptr));
  }
  device.Discard();
  const ULONGLONG start = GetTickCount64();
  const ShellResult sweep = RunShell("xdotool " + path, 120000);
  ASSERT_EQ(sweep.status, 0) << sweep.output;
  const Reception reception = device.Listen(1000);
  const ULONGLONG elapsedMs = GetTickCount64() - start;

  EXPECT_TRUE(dialvox.Running());
  EXPECT_EQ(dialvox.StatusText(), "Готов");
  // A tick every 100 ms all along; the pty held what came during the sweep.
  EXPECT_GE(FramesOfAnyKind(reception), elapsedMs / 100 * 7 / 10);
  EXPECT_EQ(reception.counts.bad, 0u);
  EXPECT_EQ(reception.counts.skipped, 0u);
}

}  // namespace
}  // namespace e2e
