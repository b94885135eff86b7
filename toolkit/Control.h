// The base of the thin classes over the standard controls. Made unplaced on the form, a control is
// placed by the form at start and at every change of DPI, and gets its notifications from it. Its
// change events are the user's changes only, never the program's.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/Dpi.h"

// What a control is made with: the form's window, and its name, caption and id from the layout.
struct ControlSite {
  HWND parent = nullptr;
  std::string name;
  std::string caption;
  int id = 0;
};

// Where a control goes at the form's DPI (`bounds` scaled, in the form's client coordinates), in
// the form's font, with the scale for its own insides and the DPI of the system's measures.
struct Placement {
  RECT bounds{};
  HFONT font = nullptr;
  LayoutScale scale;
  int dpi = USER_DEFAULT_SCREEN_DPI;
};

// The width of one line of `text` in `font`, as the screen draws it.
int TextWidth(HFONT font, const std::string& text);

// A colour that follows the system's setting: the system colour index with the top bit set.
constexpr COLORREF SystemColor(int index) { return 0x80000000u | static_cast<COLORREF>(index); }

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control();

  HWND Handle() const { return parts_.front(); }
  const std::string& Name() const { return name_; }
  virtual std::string Text() const;
  void SetText(const std::string& text);
  // The control's own visibility; it is on screen only while its page (if any) is active too.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  // Whether the window is one of the control's own (a group box's buttons, say).
  bool Owns(HWND window) const;

  // Moves the control to the bounds and gives its windows the font; one with windows inside it
  // places them too.
  virtual void Place(const Placement& placement);

 protected:
  explicit Control(const ControlSite& site) : name_(site.name), parent_(site.parent), id_(site.id) {}

  // Creates one more window of the control (the first is its handle), unplaced.
  HWND AddPart(const char* className, const char* caption, DWORD style, DWORD exStyle = 0);
  const std::vector<HWND>& Parts() const { return parts_; }
  // True while the program itself changes the text, whose notifications are then not the user's.
  bool SettingText() const { return settingText_; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // The messages the form routes here: whether each was handled (the brush: nullptr, not handled).
  virtual bool HandleCommand(HWND part, WORD code);
  virtual bool HandleNotify(const NMHDR& header, LRESULT& result);
  virtual HBRUSH HandleCtlColor(HDC dc);
  virtual bool HandleSetCursor();

 private:
  friend class Form;
  friend class PageControl;

  void SetPageShown(bool shown);
  void ApplyVisibility();

  std::string name_;
  HWND parent_;
  int id_;
  std::vector<HWND> parts_;
  bool visible_ = true;
  bool pageShown_ = true;
  bool settingText_ = false;
};
