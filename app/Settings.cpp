#include "app/Settings.h"

#include <algorithm>
#include <string>

#include "app/Registry.h"
#include "app/Utils.h"

namespace {

std::string CounterValueName(int channel) { return "Counter" + std::to_string(channel); }

// A stored choice of one of `count` items; anything else means the first.
int Choice(int stored, int count) { return stored >= 0 && stored < count ? stored : 0; }

// A stored flag, where one is stored: anything but 0 is true.
void LoadFlag(const RegistryKey& key, const char* name, bool& flag) {
  if (key.ValueExists(name)) flag = key.ReadInteger(name) != 0;
}

}  // namespace

void LoadSettings(Settings& settings, int counterCount) {
  const RegistryKey key = RegistryKey::Open(HKEY_CURRENT_USER, kSettingsKey);
  if (!key.IsOpen()) {
    for (int n = 1; n <= kChannelCount; ++n)
      if (counterCount > n) settings.channels[n - 1] = n;
    return;
  }
  try {
    // An existing key without "Mode" or "Port" means the one-byte mode and the first port listed.
    settings.writeMode = key.ValueExists("Mode") ? Choice(key.ReadInteger("Mode"), 4) : wmSingleByte;
    settings.port = key.ValueExists("Port") ? PortNumberOf(key.ReadString("Port")) : 0;
    LoadFlag(key, "MinimizeAtRun", settings.minimizeAtRun);
    LoadFlag(key, "RememberSettings", settings.rememberSettings);
    LoadFlag(key, "AllowMultipleInstances", settings.allowMultipleInstances);
    if (key.ValueExists("MinimizeMode"))
      settings.minimizeMode = Choice(key.ReadInteger("MinimizeMode"), 3);
    if (key.ValueExists("Interval")) {
      settings.interval = std::clamp(key.ReadInteger("Interval"), kMinInterval, kMaxInterval);
      settings.timerInterval = settings.interval;
    }
    for (int n = 1; n <= kChannelCount; ++n) {
      const std::string name = CounterValueName(n);
      const int position = key.ValueExists(name.c_str()) ? key.ReadInteger(name.c_str()) : n;
      settings.channels[n - 1] = position >= 0 && position < counterCount ? position : 1;
    }
  } catch (const RegistryError&) {
    // What was loaded stays; the rest keeps the values it had.
  }
}

void SaveSettings(const Settings& settings) {
  if (!settings.rememberSettings) return;
  const RegistryKey key = RegistryKey::OpenOrCreate(HKEY_CURRENT_USER, kSettingsKey);
  if (!key.IsOpen()) return;
  try {
    key.WriteInteger("Mode", settings.writeMode);
    key.WriteString("Port", settings.port ? std::to_string(settings.port) : "");
    key.WriteInteger("Interval", settings.interval);
    key.WriteInteger("MinimizeAtRun", settings.minimizeAtRun);
    key.WriteInteger("RememberSettings", settings.rememberSettings);
    key.WriteInteger("AllowMultipleInstances", settings.allowMultipleInstances);
    key.WriteInteger("MinimizeMode", settings.minimizeMode);
    for (int n = 1; n <= kChannelCount; ++n)
      key.WriteInteger(CounterValueName(n).c_str(), settings.channels[n - 1]);
  } catch (const RegistryError&) {
    // The values written so far stay written.
  }
}
