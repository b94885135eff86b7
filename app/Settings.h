// Where the settings live, and the update interval's range and starting values: shared by the
// window, the settings store and the tests.
#pragma once

// Relative to HKEY_CURRENT_USER.
inline constexpr char kSettingsKey[] = "Software\\Quirvel\\Dialvox\\Settings";

// The update interval in ms: what the box allows, and what a stored value is clamped to.
inline constexpr int kMinInterval = 50;
inline constexpr int kMaxInterval = 5000;
// The timer and the box start apart, as the window was designed: on a first start (nothing
// stored) the device is fed every 250 ms while the box shows 400. The box's value is what gets
// stored, so every later start runs at 400 ms or at whatever the user chose; a stored interval
// and every change of the box set both.
inline constexpr int kDefaultTimerInterval = 250;
inline constexpr int kDefaultSpinInterval = 400;
