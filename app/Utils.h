// Small helpers of the main window: list selection and the notification-area icon.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

class ComboBox;

// Selects item 0 of a list that has items and no selection; otherwise leaves it alone.
void SelectFirstIfNone(ComboBox& list);

// The number of the COM port that `name` stands for: "8" in the port list, "COM8" as the system
// names an arrived port (`prefix` "COM", any case). 0 when it is no port number (1..255).
int PortNumberOf(const std::string& name, const char* prefix = "");
// Puts port `number` into the port list in numeric order, unless it is listed; returns its index.
int InsertPort(ComboBox& portList, int number);

// Lets any process take the foreground, as the copy that brings another back must let that one do:
// Windows 98 and 2000 on give it only to the process that holds it. Looked up at run time, as
// Windows 95 and NT 4.0 lack it (and have no such rule).
void AllowAnyProcessTheForeground();

enum TrayAction : int { taAdd = 1, taDelete = 2, taModify = 3 };

// Shell_NotifyIconA, or a stand-in for tests: a shell that is busy, as at log-on.
using ShellNotifyIconFunction = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAA);

// Adds, modifies or deletes the window's tray icon (id 1). The tip is cut to the 63 characters
// that fit. Returns whether the shell did it: a busy shell (the first seconds of a log-on) times
// out and fails, though the icon may still arrive a moment later.
bool TrayIconAction(HWND window, HICON icon, const std::string& tip, int action,
                    UINT callbackMessage, ShellNotifyIconFunction shell = &Shell_NotifyIconA);
