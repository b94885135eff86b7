// The texts of a form: static text, the figures that change on every tick, and links.
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

  void Place(const Placement& placement) override;

 protected:
  bool HandleCommand(HWND part, WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  bool HandleSetCursor() override;

 private:
  GdiObject<HFONT> underlined_;
};
