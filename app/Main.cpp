#include "app/Main.h"

#include <dbt.h>
#include <shellapi.h>

#include "app/MainLayout.h"
#include "app/Utils.h"
#include "counters/Counters.h"
#include "toolkit/Application.h"
#include "toolkit/Dpi.h"

namespace {

const char kPeerEventName[] = "Quirvel_Event_Dialvox_Peersignal";
// Posted by the waiting thread when a refused copy signalled. Any program may post it too: it
// carries nothing, and only brings the window back.
constexpr UINT WM_PEERSIGNAL = WM_APP + 1;
constexpr UINT_PTR kPollTimerId = 1;

}  // namespace

TfrmMain::TfrmMain(SerialOs& serialOs, ShellCalls shell)
    : Form(App().Handle(), kMainLeft, kMainTop, kMainClientWidth, kMainClientHeight),
      Feed(serialOs),
      trayIcon_(Handle(), shell.notifyIcon),
      openLink_(shell.execute),
      TimerPoll(Handle(), kPollTimerId) {
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
  for (int n = 1; n <= kChannelCount; ++n) {
    ChannelList[n - 1] = &Find<ComboBox>("cbxCounter" + std::to_string(n));
    valueLabels_[n - 1] = &Find<ValueLabel>("lblCounter" + std::to_string(n));
  }

  // Initial states as designed: the settings of a first start.
  for (const char* item : kWriteModeItems) cbxWriteMode->Add(item);
  gbxMinMode->SetItems({kMinModeItems[0], kMinModeItems[1], kMinModeItems[2]});
  IntervalSpinEdit->SetRange(kMinInterval, kMaxInterval);
  IntervalSpinEdit->SetIncrement(10);
  ShowSettings();
  PageControl1->SetActivePage(pgAbout);

  for (const LinkTarget& link : kLinks) {
    auto& label = Find<LinkLabel>(link.label);
    label.Hint = link.target;
    label.OnClick = [this](LinkLabel& clicked) { LabelClick(clicked); };
  }

  // Event bindings: each change of the user's becomes the settings', and most are stored at once.
  // The check boxes and the minimise mode are stored with the next save.
  const auto storeChoice = [this](int& setting) {
    return [this, &setting](ComboBox& list) {
      setting = list.ItemIndex();
      SaveSettings(settings_);
    };
  };
  cbxPortList->OnChange = [this](ComboBox&) { cbxPortListChange(); };
  cbxWriteMode->OnChange = storeChoice(settings_.writeMode);
  IntervalSpinEdit->OnChange = [this](SpinEdit&) { IntervalSpinEditChange(); };
  gbxMinMode->OnClick = [this](RadioGroup& group) {
    settings_.minimizeMode = group.ItemIndex();
    gbxMinModeClick();
  };
  cbxMinAtRun->OnClick = [this](CheckBox& box) { settings_.minimizeAtRun = box.Checked(); };
  cbxRemSettings->OnClick = [this](CheckBox& box) { settings_.rememberSettings = box.Checked(); };
  cbxAllowMulti->OnClick = [this](CheckBox& box) { settings_.allowMultipleInstances = box.Checked(); };
  for (int i = 0; i < kChannelCount; ++i) ChannelList[i]->OnChange = storeChoice(settings_.channels[i]);
}

void TfrmMain::FormCreate() {
  Application& app = App();

  PeerEvent = KernelHandle(CreateEventA(nullptr, FALSE, FALSE, kPeerEventName));
  const bool anotherCopyRunning = GetLastError() == ERROR_ALREADY_EXISTS;

  app.OnException = [this](const std::exception& error) { AppException(error); };
  app.OnMinimize = [this] { AppMinimize(); };
  app.OnRestore = [this] { AppRestore(); };

  // Without the event there is nothing to wait for: this copy runs without single-instance
  // signalling rather than with a thread whose every wait fails.
  if (PeerEvent) PopupThread = std::make_unique<TPopupThread>(PeerEvent.Get(), Handle(), WM_PEERSIGNAL);

  ShowIcons();
  SetCaption(app.Title());
  for (const int port : Feed.ListPorts()) cbxPortList->Add(std::to_string(port));
  PageControl1->SetActivePage(pgCounters);

  for (const std::string& name : CounterNames())
    for (ComboBox* list : ChannelList) list->Add(name);

  const bool noPorts = cbxPortList->Count() == 0;
  ShowStatus(noPorts, noPorts ? "COM портов не найдено" : "Готов");

  LoadSettings(settings_, CounterCount());
  ShowSettings();
  // A cycle that ended early ends start-up as any failing step does: the timer stays off.
  if (!PollAndSend()) return;
  TimerPoll.SetEnabled(true);

  if (settings_.minimizeAtRun) PostMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);

  if (anotherCopyRunning && !settings_.allowMultipleInstances) {
    refused_ = true;
    // This copy was just started, so it holds the foreground; the one it brings back may take it.
    AllowAnyProcessTheForeground();
    SetEvent(PeerEvent.Get());
    app.Terminate();
  }
}

void TfrmMain::ShowSettings() {
  cbxWriteMode->SetItemIndex(settings_.writeMode);
  settings_.port = ShowPortChoice(*cbxPortList, settings_.port);
  cbxMinAtRun->SetChecked(settings_.minimizeAtRun);
  cbxRemSettings->SetChecked(settings_.rememberSettings);
  cbxAllowMulti->SetChecked(settings_.allowMultipleInstances);
  gbxMinMode->SetItemIndex(settings_.minimizeMode);
  IntervalSpinEdit->SetValue(settings_.interval);
  TimerPoll.SetInterval(settings_.timerInterval);
  for (int i = 0; i < kChannelCount; ++i) ChannelList[i]->SetItemIndex(settings_.channels[i]);
  gbxMinModeClick();
}

void TfrmMain::ShowIcons() { App().LoadIcons(Dpi(), Handle()); }

void TfrmMain::DpiChanged() {
  ShowIcons();
  trayIcon_.IconChanged();
}

void TfrmMain::StopFeedAndSave() noexcept {
  if (feedStopped_) return;
  feedStopped_ = true;
  // The settings first: a few seconds after the session's end Windows may end the process, and a
  // write to the device or deleting the icon (the shell ends too) may take that long.
  try {
    SaveSettings(settings_);
    PauseFeed();
    trayIcon_.Hide();
  } catch (...) {
    App().HandleException(std::current_exception());
  }
  Feed.ClosePort();
}

void TfrmMain::PauseFeed() noexcept {
  TimerPoll.SetEnabled(false);
  // A copy that was refused leaves the device to the one it brings back.
  if (!refused_) Feed.Rest(settings_);
}

void TfrmMain::FormDestroy() noexcept {
  StopFeedAndSave();
  // The waiting thread ends before the event it waits on is closed.
  PopupThread.reset();
  PeerEvent.Reset();
  // The application outlives the window: its hooks must not lead here any more.
  App().OnException = nullptr;
  App().OnMinimize = nullptr;
  App().OnRestore = nullptr;
}

void TfrmMain::ShowStatus(bool isError, const std::string& text) {
  txtStatusLine->SetTextColor(isError ? RGB(255, 0, 0) : SystemColor(COLOR_WINDOWTEXT));
  txtStatusLine->SetText(text);
}

void TfrmMain::AppException(const std::exception& error) { ShowStatus(true, error.what()); }

bool TfrmMain::PollAndSend() {
  const TickResult result = Feed.Tick(settings_);
  for (int i = 0; i < kChannelCount; ++i)
    if (result.labels[i]) valueLabels_[i]->SetText(*result.labels[i]);
  if (result.error) ShowStatus(true, *result.error);
  return !result.endedEarly;
}

void TfrmMain::TimerPollTimer() {
  trayIcon_.Keep();
  PollAndSend();
}

void TfrmMain::AppMinimize() {
  const int mode = settings_.minimizeMode;
  // Hidden in the tray even when the shell did not take the icon yet: it is offered again.
  if (mode == mmTray) trayIcon_.Show();
  if (mode == mmTray || mode == mmInvisible) {
    ShowWindow(Handle(), SW_HIDE);
    ShowWindow(App().Handle(), SW_HIDE);
  }
}

void TfrmMain::AppRestore() {
  MoveOntoScreen(Handle());
  ShowWindow(Handle(), SW_SHOW);
  ShowWindow(App().Handle(), SW_RESTORE);
  trayIcon_.Hide();
  SetActiveWindow(Handle());
  SetForegroundWindow(Handle());
}

void TfrmMain::gbxMinModeClick() { lblMinNote->SetVisible(settings_.minimizeMode == mmInvisible); }

void TfrmMain::WMDeviceChange(WPARAM event, LPARAM record) {
  // A port that arrives is listed at once; only a list without a choice (an empty one) takes it,
  // and the next tick feeds it.
  const int number = ArrivedPort(event, record);
  if (!number) return;
  const bool noChoice = cbxPortList->ItemIndex() < 0;
  const int index = InsertPort(*cbxPortList, number);
  if (noChoice) {
    cbxPortList->SetItemIndex(index);
    settings_.port = number;
    ShowStatus(false, "Готов");  // "no COM ports" holds no more
  }
}

void TfrmMain::WMPowerBroadcast(WPARAM event) {
  switch (event) {
    case PBT_APMSUSPEND:
    case PBT_APMSTANDBY:
      // The device often keeps its power while the PC sleeps: its needles rest all night. The
      // broadcast and the notice the window asked for may both come: the first counts.
      if (asleep_) return;
      PauseFeed();
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
      Feed.ClosePort();
      TimerPoll.SetEnabled(true);
      TimerPollTimer();
  }
}

void TfrmMain::cbxPortListChange() {
  // Text that is no port number means port 1.
  const int number = PortNumberOf(cbxPortList->Text());
  settings_.port = number ? number : 1;
  Feed.ChoosePort(settings_.port);
  SaveSettings(settings_);
}

void TfrmMain::IntervalSpinEditChange() {
  // As it comes, also while the user types: the box corrects a value out of range on focus loss.
  settings_.interval = settings_.timerInterval = IntervalSpinEdit->Value();
  TimerPoll.SetInterval(settings_.timerInterval);
  SaveSettings(settings_);
}

void TfrmMain::LabelClick(LinkLabel& label) {
  // The shell may hand the link to a COM object: today's mail and browser handlers are.
  comApartment_.Join();
  openLink_(App().Handle(), nullptr, label.Hint.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (trayIcon_.HandleMessage(message, lParam)) return 0;
  if (message == WM_TIMER && TimerPoll.Fires(wParam)) {
    TimerPollTimer();
    return 0;
  }
  if (message == WM_PEERSIGNAL) {
    if (PopupThread) PopupThread->RestoreOnSignal();
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
