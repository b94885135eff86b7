#include "app/Main.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "app/MainLayout.h"
#include "app/Settings.h"
#include "app/Utils.h"
#include "counters/Counters.h"
#include "toolkit/Application.h"

namespace {

const char kPeerEventName[] = "Quirvel_Event_Dialvox_Peersignal";
constexpr int kHighestProbedPort = 25;

}  // namespace

TfrmMain::TfrmMain(SerialOs& serialOs, ShellNotifyIconFunction shellNotifyIcon)
    : Form(kMainLeft, kMainTop, kMainClientWidth, kMainClientHeight),
      serialOs_(serialOs),
      shellNotifyIcon_(shellNotifyIcon),
      TimerPoll(*this) {
  CreateControls(MainLayout());
  BindControls();
  // A failing step ends start-up there; the window stays, and the error shows in the status line.
  try {
    FormCreate();
  } catch (...) {
    App().HandleException(std::current_exception());
  }
  // This copy keeps running unless it was refused: only then may it answer the peers' signals.
  // Waiting from here on, rather than from the first step, a refused copy can never take its own
  // signal away from the copy it means to bring back.
  if (PopupThread && !refused_) PopupThread->Start();
}

TfrmMain::~TfrmMain() { FormDestroy(); }

void TfrmMain::BindControls() {
  PageControl1 = &Find<PageControl>("PageControl");
  cbxPortList = &Find<ComboBox>("cbxPortList");
  cbxWriteMode = &Find<ComboBox>("cbxWriteMode");
  cbxMinAtRun = &Find<CheckBox>("cbxMinAtRun");
  cbxRemSettings = &Find<CheckBox>("cbxRemSettings");
  cbxAllowMulti = &Find<CheckBox>("cbxAllowMulti");
  gbxMinMode = &Find<RadioGroup>("gbxMinMode");
  lblMinNote = &Find<Label>("lblMinNote");
  IntervalSpinEdit = &Find<SpinEdit>("IntervalSpinEdit");
  txtStatusLine = &Find<Edit>("txtStatusLine");

  // Initial states as designed.
  for (const char* item : kWriteModeItems) cbxWriteMode->Add(item);
  cbxRemSettings->SetChecked(true);
  gbxMinMode->SetItems({kMinModeItems[0], kMinModeItems[1], kMinModeItems[2]});
  gbxMinMode->SetItemIndex(0);
  lblMinNote->SetVisible(false);
  IntervalSpinEdit->SetRange(kMinInterval, kMaxInterval);
  IntervalSpinEdit->SetIncrement(10);
  IntervalSpinEdit->SetValue(kDefaultSpinInterval);
  TimerPoll.SetEnabled(false);
  TimerPoll.SetInterval(kDefaultTimerInterval);
  PageControl1->SetActivePage(pgAbout);

  const struct {
    const char* name;
    const char* target;
  } links[] = {
      {"Label14", "mailto:device@example.org"},
      {"Label16", "http://www.example.org/dialvox/"},
      {"Label19", "mailto:developer1@example.org"},
      {"Label20", "mailto:developer2@example.org"},
  };
  for (const auto& link : links) {
    auto& label = Find<LinkLabel>(link.name);
    label.Hint = link.target;
    label.OnClick = [this](LinkLabel& clicked) { LabelClick(clicked); };
  }

  // Event bindings.
  TimerPoll.OnTimer = [this] { TimerPollTimer(); };
  cbxPortList->OnChange = [this](ComboBox&) { cbxPortListChange(); };
  cbxWriteMode->OnChange = [this](ComboBox&) { SaveSettings(); };
  IntervalSpinEdit->OnChange = [this](SpinEdit&) { IntervalSpinEditChange(); };
  gbxMinMode->OnClick = [this](RadioGroup&) { gbxMinModeClick(); };
}

void TfrmMain::FormCreate() {
  Application& app = App();

  TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  PeerEvent = KernelHandle(CreateEventA(nullptr, FALSE, FALSE, kPeerEventName));
  const bool anotherCopyRunning = GetLastError() == ERROR_ALREADY_EXISTS;

  app.OnException = [this](const std::exception& error) { AppException(error); };
  app.OnMinimize = [this] { AppMinimize(); };
  app.OnRestore = [this] { AppRestore(); };

  // Without the event there is nothing to wait for: this copy runs without single-instance
  // signalling rather than with a thread whose every wait fails.
  if (PeerEvent) PopupThread = std::make_unique<TPopupThread>(PeerEvent.Get());

  ChannelList.clear();
  ShowIcons();
  SetCaption(app.Title());
  CommPort = std::make_unique<TCommPort>(serialOs_);
  EnumComPorts(cbxPortList, kHighestProbedPort, false, serialOs_);
  LayOutTabs();
  PageControl1->SetActivePage(pgCounters);
  SelectFirstIfNone(*cbxPortList);
  cbxWriteMode->SetItemIndex(wmEightChannel);
  BuildChannels();

  if (cbxPortList->Count() == 0) {
    ShowStatus(true, "COM портов не найдено");
  } else {
    ShowStatus(false, "Готов");
  }

  LoadSettings();
  gbxMinModeClick();
  PollAndSend();
  TimerPoll.SetEnabled(true);

  if (cbxMinAtRun->Checked()) PostMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);

  if (anotherCopyRunning && !cbxAllowMulti->Checked()) {
    refused_ = true;
    // This copy was just started, so it holds the foreground; the one it brings back may take it.
    AllowAnyProcessTheForeground();
    SetEvent(PeerEvent.Get());
    app.Terminate();
  }
}

void TfrmMain::ShowIcons() { App().LoadIcons(Dpi(), Handle()); }

void TfrmMain::LayOutTabs() { PageControl1->SetTabWidth((PageControl1->ClientWidth() - Scale().X(6)) / 3); }

void TfrmMain::DpiChanged() {
  LayOutTabs();
  ShowIcons();
  // The same icon, at the new size: changed in place, never added a second time.
  if (TrayIconShown) TrayIconTaken = TrayIcon(taModify);
}

void TfrmMain::BuildChannels() {
  for (int n = 1; n <= kChannelCount; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "cbxCounter%d", n);
    auto& list = Find<ComboBox>(name);
    std::snprintf(name, sizeof name, "lblCounter%d", n);
    list.Tag = &Find<ValueLabel>(name);
    list.OnChange = [this](ComboBox&) { SaveSettings(); };
    ChannelList.push_back(&list);
  }
  for (ComboBox* list : ChannelList) {
    AssignCounterNames(list);
    SelectFirstIfNone(*list);
  }
}

void TfrmMain::StopFeedAndSave() noexcept {
  if (feedStopped_) return;
  feedStopped_ = true;
  // The needles rest first: nothing measures any more. The settings come before the icon: at
  // log-off the shell is ending too, and deleting the icon may wait out its time-out, after which
  // Windows may end the process unasked.
  try {
    TimerPoll.SetEnabled(false);
    PutNeedlesAtRest();
    SaveSettings();
    HideTrayIcon();
  } catch (...) {
    App().HandleException(std::current_exception());
  }
  if (CommPort) CommPort->ClosePort();
}

void TfrmMain::FormDestroy() noexcept {
  StopFeedAndSave();
  ChannelList.clear();
  CommPort.reset();
  // The waiting thread ends before the event it waits on is closed.
  PopupThread.reset();
  PeerEvent.Reset();
  // The application outlives the window: its hooks must not lead here any more.
  Application& app = App();
  app.OnException = nullptr;
  app.OnMinimize = nullptr;
  app.OnRestore = nullptr;
}

void TfrmMain::ShowStatus(bool isError, const std::string& text) {
  txtStatusLine->SetTextColor(isError ? RGB(255, 0, 0) : SystemColor(COLOR_WINDOWTEXT));
  txtStatusLine->SetText(text);
}

void TfrmMain::AppException(const std::exception& error) { ShowStatus(true, error.what()); }

int TfrmMain::PortListNumber() const {
  const int number = PortNumberOf(cbxPortList->Text());
  return number ? number : 1;
}

void TfrmMain::WMDeviceChange(WPARAM event, LPARAM data) {
  // A port that arrives while the program runs can be chosen at once. The list's choice and the
  // port in use stay; only a list without a choice (an empty one) takes the new port, which the
  // next tick then feeds: "no choice" would otherwise mean COM1.
  if (event != DBT_DEVICEARRIVAL || !data) return;
  const auto& header = *reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
  // The size comes first: only a record that holds a whole header can say what it is.
  if (header.dbch_size < sizeof(DEV_BROADCAST_HDR)) return;
  constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_PORT_A, dbcp_name);
  if (header.dbch_devicetype != DBT_DEVTYP_PORT || header.dbch_size <= nameOffset) return;
  // The name ends at its zero or at the end of the record, whichever comes first.
  std::string_view name(reinterpret_cast<const DEV_BROADCAST_PORT_A&>(header).dbcp_name,
                        header.dbch_size - nameOffset);
  name = name.substr(0, name.find('\0'));
  const int number = PortNumberOf(std::string(name), "COM");
  if (!number) return;
  const bool noChoice = cbxPortList->ItemIndex() < 0;
  const int index = InsertPort(*cbxPortList, number);
  if (noChoice) {
    cbxPortList->SetItemIndex(index);
    ShowStatus(false, "Готов");  // "no COM ports" holds no more
  }
}

void TfrmMain::WMPowerBroadcast(WPARAM event) {
  switch (event) {
    case PBT_APMSUSPEND:
    case PBT_APMSTANDBY:
      // The device often keeps its power while the PC sleeps: its needles rest all night, and no
      // tick may move them again before the machine is asleep.
      TimerPoll.SetEnabled(false);
      PutNeedlesAtRest();
      asleep_ = true;
      return;
    case PBT_APMRESUMEAUTOMATIC:
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMESTANDBY:
    case PBT_APMRESUMECRITICAL:
      // The first of the wake messages counts; a critical one follows a sleep nobody was told of.
      if (feedStopped_ || (!asleep_ && event != PBT_APMRESUMECRITICAL)) return;
      asleep_ = false;
      // A USB adapter is often a new device after a wake: the port is opened afresh, at once.
      CommPort->ClosePort();
      TimerPoll.SetEnabled(true);
      TimerPollTimer();
  }
}

void TfrmMain::TimerPollTimer() {
  KeepTrayIcon();
  PollAndSend();
}

void TfrmMain::cbxPortListChange() {
  CommPort->SetPortNumber(PortListNumber());
  SaveSettings();
}

void TfrmMain::IntervalSpinEditChange() {
  TimerPoll.SetInterval(IntervalSpinEdit->Value());
  SaveSettings();
}

void TfrmMain::LabelClick(LinkLabel& label) {
  ShellExecuteA(App().Handle(), nullptr, label.Hint.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TRAYNOTIFY) {
    WMTrayNotify(lParam);
    return 0;
  }
  if (message == TaskbarCreatedMessage && TaskbarCreatedMessage) {
    TaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_ENDSESSION:
      // The session ends (log-off, shut-down), or an installer's Restart Manager asks the program
      // to end. The system may end the process once this returns, or wait for it to end by
      // itself: the feed stops and the settings are saved now, and the loop ends. A cancelled
      // end (FALSE) changes nothing.
      if (wParam) {
        StopFeedAndSave();
        App().Terminate();
      }
      return 0;
    case WM_DEVICECHANGE:
      WMDeviceChange(wParam, lParam);
      return TRUE;
    case WM_POWERBROADCAST:
      WMPowerBroadcast(wParam);
      return TRUE;
  }
  return Form::HandleMessage(message, wParam, lParam);
}
