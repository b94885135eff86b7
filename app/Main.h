// The program's only window: eight channel rows, the settings, the About page and the status line.
// It shows the settings and each tick's results, stores the user's changes and answers the
// system's messages. It owns the feed, the tray icon and the single-instance event.
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "app/DeviceFeed.h"
#include "app/PopupThread.h"
#include "app/Settings.h"
#include "app/TrayIcon.h"
#include "app/Utils.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "base/UniqueResource.h"
#include "toolkit/Timer.h"

// The shell's calls, or stand-ins for tests: a busy tray, links that go nowhere.
struct ShellCalls {
  ShellNotifyIconFunction notifyIcon = &Shell_NotifyIconA;
  ShellExecuteFunction execute = &ShellExecuteA;
};

class TfrmMain : public Form {
 public:
  // Builds the window and runs the whole start-up (FormCreate). Tests stand in for the serial and
  // shell calls: ports that Wine cannot show, a busy shell.
  explicit TfrmMain(SerialOs& serialOs = RealSerialOs(), ShellCalls shell = {});
  ~TfrmMain() override;

  // The single way to tell the user something: red for errors, window text otherwise.
  void ShowStatus(bool isError, const std::string& text);

  // One tick of the feed, and its texts shown; false when it ended early.
  bool PollAndSend();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged() override;

 private:
  void BindControls();
  void FormCreate();
  void FormDestroy() noexcept;
  // Once, before the process ends, whoever ends it: the settings, the rest, the icon, the port.
  void StopFeedAndSave() noexcept;
  // No more ticks, and the needles at rest as the last write: the program ends or the PC sleeps.
  void PauseFeed() noexcept;
  void ShowSettings();
  // The icons at the small-icon size of the window's DPI: title bar, taskbar button and tray.
  void ShowIcons();

  void AppException(const std::exception& error);
  void AppMinimize();
  void AppRestore();
  void TimerPollTimer();
  void WMDeviceChange(WPARAM event, LPARAM record);
  void WMPowerBroadcast(WPARAM event);
  void cbxPortListChange();
  void IntervalSpinEditChange();
  void gbxMinModeClick();
  void LabelClick(LinkLabel& label);

  Settings settings_;
  DeviceFeed Feed;
  TrayIcon trayIcon_;
  ShellExecuteFunction openLink_;
  ComApartment comApartment_;
  KernelHandle PeerEvent;
  std::unique_ptr<TPopupThread> PopupThread;
  bool refused_ = false;
  bool feedStopped_ = false;
  // Paused for a sleep the system announced, until the first wake.
  bool asleep_ = false;
  Timer TimerPoll;

  // Controls, found by name in the layout once the window exists; a channel's by its number.
  std::array<ComboBox*, kChannelCount> ChannelList{};
  std::array<ValueLabel*, kChannelCount> valueLabels_{};
  PageControl* PageControl1 = nullptr;
  ComboBox* cbxPortList = nullptr;
  ComboBox* cbxWriteMode = nullptr;
  CheckBox* cbxMinAtRun = nullptr;
  CheckBox* cbxRemSettings = nullptr;
  CheckBox* cbxAllowMulti = nullptr;
  RadioGroup* gbxMinMode = nullptr;
  Label* lblMinNote = nullptr;
  SpinEdit* IntervalSpinEdit = nullptr;
  Edit* txtStatusLine = nullptr;
};
