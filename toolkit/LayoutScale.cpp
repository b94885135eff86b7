#include "toolkit/LayoutScale.h"

LayoutScale LayoutScale::Of(HFONT font) {
  LayoutScale scale;
  const HDC dc = GetDC(nullptr);
  if (!dc) return scale;
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics{};
  SIZE extent{};
  // Windows' own measure of a font's average character width: the 52 letters, rounded.
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  if (GetTextMetricsA(dc, &metrics) &&
      GetTextExtentPoint32A(dc, kLetters, sizeof kLetters - 1, &extent) && extent.cx > 0) {
    scale.baseX_ = (extent.cx / 26 + 1) / 2;
    scale.baseY_ = metrics.tmHeight;
  }
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return scale;
}
