// Small helpers of the main window: list selection, port numbers and the foreground.
#pragma once

#include <windows.h>

#include <string>

class ComboBox;

// Selects item 0 of a list that has items and no selection; otherwise leaves it alone.
void SelectFirstIfNone(ComboBox& list);

// The number of the COM port that `name` stands for: "8" in the port list, "COM8" as the system
// names an arrived port (`prefix` "COM", any case). 0 when it is no port number (1..255).
int PortNumberOf(const std::string& name, const char* prefix = "");
// Puts port `number` into the port list in numeric order, unless it is listed; returns its index.
int InsertPort(ComboBox& portList, int number);
// Selects the chosen port in the list, else the first listed; returns the port selected, 0 for
// none. A chosen port that could not be opened at start-up (an adapter not plugged in yet, or the
// device held by the copy this one brings back) stays the choice: listed and selected, it is tried
// on every tick and fed once it opens. No other port is written to instead.
int ShowPortChoice(ComboBox& portList, int chosen);
// The number of the COM port that a WM_DEVICECHANGE with `event` and `record` says has arrived;
// 0 for any other event or device, or a record too short to say.
int ArrivedPort(WPARAM event, LPARAM record);

// Lets any process take the foreground, as the copy that brings another back must (98 and 2000 on
// give it only to the process that holds it; 95 and NT 4.0 have neither the rule nor the function).
void AllowAnyProcessTheForeground();

// ShellExecuteA, or a stand-in for tests.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// The calling thread's place in a single-threaded COM apartment, taken when first needed and left
// when the object goes. ole32.dll is looked up then: a program that opens no link never loads it.
class ComApartment {
 public:
  ComApartment() = default;
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  void Join();

 private:
  bool joined_ = false;
};
