// The notification area of the virtual desktop's taskbar (Shell_TrayWnd). Every icon has a tooltip
// tool over its place in the tray; the shell empties that tool's rectangle when the icon goes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct TrayIcon {
  RECT place;       // in the tray window's client coordinates
  std::string tip;  // the tooltip text
};

// The icons present now.
std::vector<TrayIcon> TrayIcons();
// Those of them whose tip is the program's title.
std::vector<TrayIcon> DialvoxTrayIcons();

// A mouse click on the icon, as the tray window receives it from the pointer.
void LeftClick(const TrayIcon& icon);
void RightClick(const TrayIcon& icon);

}  // namespace e2e
