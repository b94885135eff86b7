// The program's only window: eight channel rows, the settings page, the About page and the status
// line. It owns the serial port, the channel list and the single-instance event, and runs the
// poll cycle that feeds the device.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/DeviceFrame.h"
#include "app/PopupThread.h"
#include "app/Utils.h"
#include "serial/Com32.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/UniqueResource.h"
#include "toolkit/Timer.h"

// The shell sends this to the window for mouse events on the tray icon.
constexpr UINT WM_TRAYNOTIFY = WM_USER + 123;

class TfrmMain : public Form {
 public:
  // Builds the window and runs the whole start-up (FormCreate). The serial calls go through
  // `serialOs` and the tray icon's through `shellNotifyIcon`, so tests can stand in for ports
  // that cannot be had under Wine and for a busy shell.
  explicit TfrmMain(SerialOs& serialOs = RealSerialOs(),
                    ShellNotifyIconFunction shellNotifyIcon = &Shell_NotifyIconA);
  ~TfrmMain() override;

  // The single way to tell the user something: red for errors, window text otherwise.
  void ShowStatus(bool isError, const std::string& text);

  // One tick: refresh the load data, show every channel's text, send the write mode's bytes.
  void PollAndSend();

  void LoadSettings();
  void SaveSettings();

  // True when start-up found another copy running that does not allow this one.
  bool Refused() const { return refused_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DpiChanged() override;

 private:
  void FormCreate();
  void FormDestroy() noexcept;
  // What must happen before the process ends, whoever ends it, once: the timer stops, the
  // settings are saved, the tray icon goes and the port is closed.
  void StopFeedAndSave() noexcept;
  void BindControls();
  void BuildChannels();
  // The icons at the small-icon size of the window's DPI: title bar, taskbar button and tray.
  void ShowIcons();
  // Three tabs of one width that fill the row.
  void LayOutTabs();

  void SendToDevice(const std::uint8_t* data, int count);
  // Opens the port chosen in the list unless it is open; false when the list is empty. Raises
  // OSError when it does not open.
  bool OpenChosenPort();
  // The zero frame (or byte) of the write mode, as the last write before the program ends or the
  // machine sleeps: the device keeps showing whatever it was sent last.
  void PutNeedlesAtRest() noexcept;
  // A failure of the port, in red: `format` has one %d for the system's error code.
  void ShowPortError(const char* format, std::uint32_t code);
  int PortListNumber() const;

  void AppException(const std::exception& error);
  void AppMinimize();
  void AppRestore();
  void TimerPollTimer();
  // The tray icon through the shell (or the tests' stand-in); whether the shell did it.
  bool TrayIcon(int action);
  void ShowTrayIcon();
  void HideTrayIcon();
  // Offers the icon again while it should be shown and the shell has not taken it.
  void KeepTrayIcon();
  void WMTrayNotify(LPARAM mouseMessage);
  void TaskbarCreated();
  void WMDeviceChange(WPARAM event, LPARAM data);
  void WMPowerBroadcast(WPARAM event);
  void gbxMinModeClick();
  void cbxPortListChange();
  void IntervalSpinEditChange();
  void LabelClick(LinkLabel& label);

  SerialOs& serialOs_;
  ShellNotifyIconFunction shellNotifyIcon_;

  // Window-owned state.
  KernelHandle PeerEvent;
  std::unique_ptr<TCommPort> CommPort;
  std::vector<ComboBox*> ChannelList;
  // The icon should be shown (the window is in the tray), and whether the shell has it.
  bool TrayIconShown = false;
  bool TrayIconTaken = false;
  DWORD lastTrayIconOffer_ = 0;
  bool feedStopped_ = false;
  // Paused for a sleep the system announced, until the first wake.
  bool asleep_ = false;
  // The shell broadcasts it when its taskbar is (re)created, all icons forgotten.
  UINT TaskbarCreatedMessage = 0;
  std::unique_ptr<TPopupThread> PopupThread;
  bool refused_ = false;

  DeviceFrame Frame{};
  Timer TimerPoll;

  // Controls, found by name in the layout once the window exists.
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
