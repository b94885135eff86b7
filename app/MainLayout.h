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

// The id of each control of the main window: the layout gives them, and other programs (the
// end-to-end tests among them) find the controls by them. Radio buttons share their group's id.
enum MainControlId : int {
  idPageControl = 100,
  idPortLabel,
  idPortList,
  idWriteModeLabel,
  idWriteMode,
  idMinAtRun,
  idRemSettings,
  idAllowMulti,
  idAllowMultiLabel,
  idMinMode,
  idMinNote,
  idIntervalLabel,
  idInterval,
  idIntervalUnit,
  idAboutFrame,
  idDeviceAuthorLabel,
  idDeviceAuthorLink,
  idHomePageLabel,
  idHomePageLink,
  idDevelopersLabel,
  idDeveloper1Link,
  idDeveloper2Link,
  idVersion,
  idStatusLabel,
  idStatusLine,
};

// Channel n's row (1..8): its caption, its counter list and its value label.
constexpr int ChannelRowLabelId(int channel) { return 200 + 10 * channel; }
constexpr int CounterListId(int channel) { return ChannelRowLabelId(channel) + 1; }
constexpr int ValueLabelId(int channel) { return ChannelRowLabelId(channel) + 2; }

extern const char* const kWriteModeItems[4];
extern const char* const kMinModeItems[3];

// The About page's link labels and where each leads.
struct LinkTarget {
  const char* label;
  const char* target;
};
extern const LinkTarget kLinks[4];

std::span<const ControlSpec> MainLayout();
