// The texts of a form: static text, the figures that change on every tick, links, the status
// line's read-only edit, and the etched frame around a group of controls.
#pragma once

#include <functional>
#include <string>

#include "base/UniqueResource.h"
#include "toolkit/Control.h"

// Static text; `wrap` breaks it over several lines.
class Label : public Control {
 public:
  Label(const ControlSite& site, bool wrap);

 protected:
  Label(const ControlSite& site, DWORD extraStyle);
};

// One line that changes on every tick: a counter's figure. Unlike a static, the window keeps its
// text itself (answering WM_GETTEXT, to other programs too) and paints on its own device context,
// and not at all when the text is the same: under Wine that spares a server round trip and most of
// the drawing on each change.
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

  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  bool HandleSetCursor() override;

 private:
  GdiObject<HFONT> underlined_;
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

class Bevel : public Control {
 public:
  explicit Bevel(const ControlSite& site);
};
