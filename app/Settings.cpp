// The settings store: the controls are the settings, the registry key their copy between runs.
// Every registry failure is silent; loading ends at the first one, saving likewise.
#include <cstdio>

#include "app/Settings.h"

#include "app/Main.h"
#include "app/Registry.h"
#include "app/Utils.h"

namespace {

std::string CounterValueName(int channel) {
  char name[16];
  std::snprintf(name, sizeof name, "Counter%d", channel);
  return name;
}

}  // namespace

void TfrmMain::LoadSettings() {
  const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, kSettingsKey);
  if (!key.IsOpen()) {
    // First start: channel n shows catalogue entry n where there is one.
    for (std::size_t i = 0; i < ChannelList.size(); ++i) {
      const int n = static_cast<int>(i) + 1;
      if (ChannelList[i]->Count() > n) ChannelList[i]->SetItemIndex(n);
    }
    return;
  }
  try {
    int mode = key.ValueExists("Mode") ? key.ReadInteger("Mode") : 0;
    if (mode < 0 || mode > 3) mode = 0;
    cbxWriteMode->SetItemIndex(mode);

    int port = 0;
    if (key.ValueExists("Port")) {
      const std::string stored = key.ReadString("Port");
      port = cbxPortList->IndexOf(stored);
      // A port that could not be opened at start-up (an adapter not plugged in yet, or the device
      // held by the copy this one brings back) stays the user's choice: listed and selected, it
      // is tried on every tick and fed once it opens. No other port is written to instead.
      if (port < 0) {
        const int number = PortNumberOf(stored);
        port = number ? InsertPort(*cbxPortList, number) : 0;
      }
    }
    if (cbxPortList->Count() > 0) cbxPortList->SetItemIndex(port);

    if (key.ValueExists("MinimizeAtRun")) cbxMinAtRun->SetChecked(key.ReadBool("MinimizeAtRun"));
    if (key.ValueExists("RememberSettings")) {
      cbxRemSettings->SetChecked(key.ReadBool("RememberSettings"));
    }
    if (key.ValueExists("AllowMultipleInstances")) {
      cbxAllowMulti->SetChecked(key.ReadBool("AllowMultipleInstances"));
    }
    if (key.ValueExists("MinimizeMode")) {
      int minMode = key.ReadInteger("MinimizeMode");
      if (minMode < 0 || minMode > 2) minMode = 0;
      gbxMinMode->SetItemIndex(minMode);
    }
    if (key.ValueExists("Interval")) {
      int interval = key.ReadInteger("Interval");
      if (interval < kMinInterval) interval = kMinInterval;
      if (interval > kMaxInterval) interval = kMaxInterval;
      IntervalSpinEdit->SetValue(interval);
      TimerPoll.SetInterval(interval);
    }
    for (std::size_t i = 0; i < ChannelList.size(); ++i) {
      const int n = static_cast<int>(i) + 1;
      const std::string name = CounterValueName(n);
      int position = key.ValueExists(name.c_str()) ? key.ReadInteger(name.c_str()) : n;
      if (position < 0 || position >= ChannelList[i]->Count()) position = 1;
      ChannelList[i]->SetItemIndex(position);
    }
  } catch (const RegistryError&) {
    // What was applied stays applied; the rest keeps the values it had.
  }
}

void TfrmMain::SaveSettings() {
  if (!cbxRemSettings->Checked()) return;
  const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kSettingsKey);
  if (!key.IsOpen()) return;
  try {
    key.WriteInteger("Mode", cbxWriteMode->ItemIndex());
    key.WriteString("Port", cbxPortList->Text());
    key.WriteInteger("Interval", IntervalSpinEdit->Value());
    key.WriteBool("MinimizeAtRun", cbxMinAtRun->Checked());
    key.WriteBool("RememberSettings", cbxRemSettings->Checked());
    key.WriteBool("AllowMultipleInstances", cbxAllowMulti->Checked());
    key.WriteInteger("MinimizeMode", gbxMinMode->ItemIndex());
    for (std::size_t i = 0; i < ChannelList.size(); ++i) {
      const std::string name = CounterValueName(static_cast<int>(i) + 1);
      key.WriteInteger(name.c_str(), ChannelList[i]->ItemIndex());
    }
  } catch (const RegistryError&) {
    // The values written so far stay written.
  }
}
