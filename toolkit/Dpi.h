// The monitors a window is shown on: the DPI it is shown at, the system's measures at a DPI, a
// place on some monitor, and a layout's scale for the font the window gets there. Windows 8.1 and
// 10 give each monitor a DPI of its own; the functions for that, and the monitor functions that 95
// and NT 4.0 lack, are looked up at run time. Older systems have the system's DPI alone.
#pragma once

#include <windows.h>

// The DPI of the window (Windows 10 1607 on), else of its monitor (8.1 on), else the system's.
int WindowDpi(HWND window);
// A window that no monitor shows (left where a monitor was, before an undock) moves onto the work
// area of the nearest one, whole; one that is at least partly shown stays where it is.
void MoveOntoScreen(HWND window);
// GetSystemMetrics at `dpi`: the system's own answer where it has one, else its measure at the
// system's DPI moved to `dpi`.
int SystemMetric(int index, int dpi);
// A measure of what the system's controls draw inside themselves (a check box's glyph, a list's
// scroll bar): at the window's DPI under per-monitor v2, at the system's under earlier awareness
// and under Wine. The larger of the two, so that it fits either way.
int ControlMetric(int index, int dpi);

// A layout designed in pixels for MS Sans Serif 8 point at 96 DPI (11 pixels high) moved to the
// font the window really gets, the way Windows moves a dialog by its dialog units: horizontally by
// the font's average character width, vertically by its height. With the design font nothing
// moves; at 120 or 144 DPI, or with another font, every position and size follows the text.
class LayoutScale {
 public:
  // The design itself: nothing moves.
  LayoutScale() = default;
  // The scale for `font` on the screen. Only what Windows 95 and NT 4.0 have: GetTextMetrics and
  // GetTextExtentPoint32, as Windows computes the dialog base units of a dialog's own font.
  static LayoutScale Of(HFONT font);

  int X(int x) const { return MulDiv(x, baseX_, kDesignBaseX); }
  int Y(int y) const { return MulDiv(y, baseY_, kDesignBaseY); }
  // Each edge scaled, so that controls side by side in the design stay side by side.
  RECT Rect(int left, int top, int width, int height) const {
    return RECT{X(left), Y(top), X(left + width), Y(top + height)};
  }

 private:
  // The dialog base units of the design font.
  static constexpr int kDesignBaseX = 6;
  static constexpr int kDesignBaseY = 13;

  int baseX_ = kDesignBaseX;
  int baseY_ = kDesignBaseY;
};
