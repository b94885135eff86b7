// Where every control of the main window sits, as data. Positions on a page are relative to the
// page's display area.
#pragma once

#include <span>

#include "toolkit/Form.h"

constexpr int kMainLeft = 370;
constexpr int kMainTop = 204;
constexpr int kMainClientWidth = 301;
constexpr int kMainClientHeight = 294;

enum MainPage : int { pgCounters = 0, pgSettings = 1, pgAbout = 2 };

extern const char* const kWriteModeItems[4];
extern const char* const kMinModeItems[3];

std::span<const ControlSpec> MainLayout();
