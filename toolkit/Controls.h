// Thin classes over the standard controls. The form routes each control's notifications to it;
// a control raises its change events only for the user's own changes, never for the program's.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/LayoutScale.h"
#include "base/UniqueResource.h"

class Form;
class PageControl;

// Where and how a control is created: in the parent's client coordinates, with the form's font.
// `bounds` is already scaled; `scale` moves what a control lays out inside itself, and `dpi` is
// the one the system's measures (a check box's glyph, a scroll bar) are taken at.
struct ControlSite {
  HWND parent = nullptr;
  std::string name;
  std::string caption;
  RECT bounds{};
  HFONT font = nullptr;
  LayoutScale scale;
  int dpi = USER_DEFAULT_SCREEN_DPI;
  int id = 0;
};

// The width of one line of `text` in `font`, as the screen draws it.
int TextWidth(HFONT font, const std::string& text);

// A colour that follows the system's setting: the system colour index with the top bit set.
constexpr COLORREF SystemColor(int index) { return 0x80000000u | static_cast<COLORREF>(index); }
// The RGB value of a COLORREF or of a SystemColor.
COLORREF ResolveColor(COLORREF color);

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

  // Whether the window is one of the control's own (an edit and its up-down control, a group box
  // and its buttons).
  bool Owns(HWND window) const;

  // Moves the control to `site.bounds` and gives every window of it `site.font`, as the form's
  // DPI changes. Controls that lay out windows of their own inside it do that too.
  virtual void Relayout(const ControlSite& site);

 protected:
  explicit Control(const ControlSite& site);

  // Creates one window of the control (the first is its handle) with the form's font.
  HWND AddPart(const ControlSite& site, const char* className, const char* caption, DWORD style,
               DWORD exStyle, const RECT& bounds);
  const std::vector<HWND>& Parts() const { return parts_; }
  void DestroyParts(std::size_t first);
  // True while the program itself changes the text, whose notifications are then not the user's.
  bool SettingText() const { return settingText_; }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // Hooks for the messages the form routes here; each answers whether it handled the message,
  // HandleCtlColor with the background brush (nullptr: the system's colours).
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
  std::vector<HWND> parts_;
  bool visible_ = true;
  bool pageShown_ = true;
  bool settingText_ = false;
};

// Static text; `wrap` breaks it over several lines.
class Label : public Control {
 public:
  Label(const ControlSite& site, bool wrap);

 protected:
  Label(const ControlSite& site, DWORD extraStyle);
};

// One line of text that changes often: the figure beside a counter, set on every tick. Where a
// static asks the system to keep its text and repaints it through a fresh device context, this
// window keeps the text itself (it answers WM_GETTEXT, also to other programs) and paints on its
// own context, with the system's button-face colours. Under Wine that spares a server round trip
// and most of the drawing work on each change. An unchanged text is not painted again.
class ValueLabel : public Control {
 public:
  explicit ValueLabel(const ControlSite& site);
};

// Blue underlined text with the hand cursor, clickable. Where the system has no hand cursor
// (Windows 95, NT 4.0) it takes the program's cursor resource 1, else the arrow.
class LinkLabel : public Label {
 public:
  explicit LinkLabel(const ControlSite& site);

  std::string Hint;
  std::function<void(LinkLabel&)> OnClick;

  void Relayout(const ControlSite& site) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  bool HandleSetCursor() override;

 private:
  GdiObject<HFONT> underlined_;
};

// A pick-only drop-down list; `site.bounds` gives its closed height, and its width unless an item
// needs more.
class ComboBox : public Control {
 public:
  explicit ComboBox(const ControlSite& site);

  void Add(const std::string& text);
  // Puts an item at `index`, moving the ones from there on down.
  void Insert(int index, const std::string& text);
  int Count() const;

  int ItemIndex() const;
  void SetItemIndex(int index);
  // The selected item's text, "" when nothing is selected.
  std::string Text() const override;
  std::string ItemText(int index) const;

  std::function<void(ComboBox&)> OnChange;

  void Relayout(const ControlSite& site) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  // The room an item's text needs, beside the arrow.
  int WidthFor(const std::string& text) const;
  // Placed as laid out, as wide as its items need, and as high as the closed box and its list.
  void Fit();
  void WidenFor(const std::string& text);

  RECT bounds_;
  int dpi_;
};

class CheckBox : public Control {
 public:
  explicit CheckBox(const ControlSite& site);

  bool Checked() const;
  void SetChecked(bool checked);

  // The user's clicks, which check or clear the box.
  std::function<void(CheckBox&)> OnClick;

  void Relayout(const ControlSite& site) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;
};

// A captioned group box with one column of radio buttons.
class RadioGroup : public Control {
 public:
  explicit RadioGroup(const ControlSite& site);

  void SetItems(const std::vector<std::string>& items);
  int ItemIndex() const;
  void SetItemIndex(int index);

  std::function<void(RadioGroup&)> OnClick;

  void Relayout(const ControlSite& site) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  int ButtonCount() const { return static_cast<int>(Parts().size()) - 1; }
  // The buttons in one column inside the box, evenly spaced.
  void PlaceButtons();

  ControlSite site_;
  int index_ = -1;
};

// A numeric edit with an up-down control.
class SpinEdit : public Control {
 public:
  explicit SpinEdit(const ControlSite& site);

  // Limits within -32768..32767, as the up-down control of every Windows takes them.
  void SetRange(int minimum, int maximum);
  // Each arrow click moves the value by this much.
  void SetIncrement(int increment);
  // The text read as a decimal integer; the minimum while the text is not a number.
  int Value() const;
  void SetValue(int value);

  // The user's typing and arrow clicks, and the correction of an out-of-range value on focus loss.
  std::function<void(SpinEdit&)> OnChange;

  void Relayout(const ControlSite& site) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;

 private:
  HWND UpDown() const { return Parts()[1]; }
  bool Parse(int& value) const;

  int minimum_ = 0;
  int maximum_ = 100;
};

// A read-only single-line edit on the button face, with a text colour of its own.
class Edit : public Control {
 public:
  explicit Edit(const ControlSite& site);

  // A COLORREF or a SystemColor.
  void SetTextColor(COLORREF color);

 protected:
  HBRUSH HandleCtlColor(HDC dc) override;

 private:
  COLORREF textColor_ = SystemColor(COLOR_WINDOWTEXT);
};

// An etched frame around a group of controls.
class Bevel : public Control {
 public:
  explicit Bevel(const ControlSite& site);
};

// A tab control whose pages are groups of the form's controls: only the active page's are shown.
class PageControl : public Control {
 public:
  explicit PageControl(const ControlSite& site);

  int AddPage(const std::string& caption);
  int PageCount() const { return static_cast<int>(pages_.size()); }
  int ActivePage() const;
  // Switches pages without a notification.
  void SetActivePage(int page);
  int ClientWidth() const;
  void SetTabWidth(int width);
  // The page area in the parent's client coordinates.
  RECT DisplayRect() const;
  // Puts a control on a page; it is shown only while that page is active.
  void AddToPage(int page, Control& control);
  // The first control of the active page that takes the focus by Tab; nullptr when none does.
  HWND FirstTabStop() const;

 protected:
  bool HandleNotify(const NMHDR& header, LRESULT& result) override;

 private:
  void ShowPage(int page);

  std::vector<std::vector<Control*>> pages_;
};
