// A layout designed in pixels for MS Sans Serif 8 point at 96 DPI (11 pixels high) moved to the
// font the window really gets, the way Windows moves a dialog by its dialog units: horizontally by
// the font's average character width, vertically by its height. With the design font nothing
// moves; at 120 or 144 DPI, or with another font, every position and size follows the text.
#pragma once

#include <windows.h>

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
