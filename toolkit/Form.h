// The main window's base: a fixed-size window whose controls a table describes, found by name. It
// routes the controls' notifications, gives them a dialog's keyboard interface, and lays them out
// anew on a monitor of another DPI.
#pragma once

#include <windows.h>

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "base/UniqueResource.h"
#include "toolkit/Controls.h"
#include "toolkit/Window.h"

enum class ControlKind {
  Label,
  WrapLabel,  // static text broken over several lines
  LinkLabel,
  ValueLabel,  // one line that changes often
  ComboBox,
  CheckBox,
  RadioGroup,
  SpinEdit,
  Edit,
  Bevel,
  PageControl,
  TabSheet,  // adds a page, captioned `caption`, to the form's page control; no window of its own
};

// One control of a layout table. `id` is the control's own among the form's (not IDOK or
// IDCANCEL, which the dialog manager sends itself; 0 for a tab sheet). `page` -1 puts it on the
// form; 0.. on that page of the form's page control, with left and top relative to the page area.
struct ControlSpec {
  ControlKind kind;
  const char* name;
  int id;
  const char* caption;
  int left, top, width, height;
  int page;
};

class Form : public Window {
 public:
  // A window with a caption, system menu and minimise button, owned by `owner` (the application's
  // taskbar window, where minimising and closing go), in MS Sans Serif 8 point at its monitor's
  // DPI. The client area is clientWidth × clientHeight as designed at 96 DPI, moved to the font
  // the window gets (LayoutScale), as is every control. Throws OSError.
  Form(HWND owner, int left, int top, int clientWidth, int clientHeight);
  ~Form() override;

  void SetCaption(const std::string& caption);

  // Creates the controls in table order, then places them all. A page control comes before the
  // controls of its pages. The form keeps to the table's rows: the table outlives the form.
  void CreateControls(std::span<const ControlSpec> layout);

  int Dpi() const { return dpi_; }

  // The form's keys, before the message is dispatched: Ctrl+Tab and Ctrl+Shift+Tab turn the pages
  // from any control, as in every tabbed window of Windows; the dialog manager takes Tab, the
  // arrow keys and the Alt+letter mnemonics. Returns whether the message was used.
  bool HandleDialogKey(MSG& message);

  Control* FindControl(const std::string& name) const;
  // The control that one of the form's windows belongs to; nullptr for every other window, the form
  // included. Messages name windows the program never made (a combo box's drop-down list, a
  // tooltip), whose user data is not ours to read.
  Control* ControlOf(HWND window) const;
  // Throws Error when there is no control of that name and kind.
  template <class T>
  T& Find(const std::string& name) const {
    T* control = dynamic_cast<T*>(FindControl(name));
    if (!control) throw Error("Control \"" + name + "\" not found");
    return *control;
  }

 protected:
  // Derived forms handle their own messages and pass the rest here.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  // After a move to another DPI and the controls' new layout: what the table does not hold (icons).
  virtual void DpiChanged() {}

 private:
  std::unique_ptr<Control> MakeControl(const ControlSpec& entry);
  // Every control where its row puts it at the form's scale, in its font, in table order: the page
  // control before the controls on its pages, which go by its page area.
  void PlaceControls();
  // The font and scale at `dpi`, every control placed, the window sized round them (at the
  // top-left of `suggested` if given).
  void ApplyDpi(int dpi, const RECT* suggested);
  // The window's size around the layout at `scale`, with its frame drawn at `frameDpi`.
  SIZE WindowSize(const LayoutScale& scale, int frameDpi) const;
  void RestoreFocus();
  void FocusControl(HWND control);
  void TurnPage(int step);

  SIZE designClient_;
  // Windows 8 and later tell a window of a sleep only when it asks (modern standby broadcasts
  // nothing): then sleeps and wakes reach the form as WM_POWERBROADCAST on every Windows.
  HPOWERNOTIFY sleepNotices_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  GdiObject<HFONT> font_;
  LayoutScale scale_;
  // Each control and its row of the layout table, which says where it goes at any DPI.
  struct Laid {
    std::unique_ptr<Control> control;
    const ControlSpec* row;
  };
  std::vector<Laid> controls_;
  PageControl* pages_ = nullptr;
  HWND focus_ = nullptr;
};
