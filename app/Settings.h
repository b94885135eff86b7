// The user's choices as one value: what the window shows, the device feed reads on every tick and
// the registry keeps between runs.
#pragma once

#include <array>

#include "app/DeviceFrame.h"

// Relative to HKEY_CURRENT_USER.
inline constexpr char kSettingsKey[] = "Software\\Quirvel\\Dialvox\\Settings";

// The update interval in ms: what the box allows, and what a stored interval is clamped to.
inline constexpr int kMinInterval = 50;
inline constexpr int kMaxInterval = 5000;

// What minimising does: the items of the radio group, in order.
enum MinimizeMode : int { mmTaskbar = 0, mmTray = 1, mmInvisible = 2 };

struct Settings {
  int writeMode = wmEightChannel;
  // The chosen COM port's number; 0 when none is chosen (the port list is empty).
  int port = 0;
  // The box's interval, the one stored, and the timer's: designed apart (a first start feeds every
  // 250 ms while the box shows 400), both set by a stored interval and every change of the box.
  int interval = 400;
  int timerInterval = 250;
  bool minimizeAtRun = false;
  bool rememberSettings = true;
  bool allowMultipleInstances = false;
  int minimizeMode = mmTaskbar;
  // Each channel's counter, as its position in the counter catalogue; -1 for none.
  std::array<int, kChannelCount> channels{};
};

// Loads the stored values over `settings`, corrected into range; a port that is no port number
// loads as 0. Without the key (the first start) channel n takes counter n of the `counterCount`,
// if there is one. Silent: the first value that cannot be read ends the load, the rest unchanged.
void LoadSettings(Settings& settings, int counterCount);
// Stores all fifteen values at once, while remembering is on. A failing write ends it, silently.
void SaveSettings(const Settings& settings);
