#include "toolkit/Dpi.h"

#include <algorithm>

#include "toolkit/SystemFunction.h"

int SystemDpi() {
  // One for the whole session: asked once.
  static const int dpi = [] {
    const HDC screen = GetDC(nullptr);
    const int logPixels = screen ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
    if (screen) ReleaseDC(nullptr, screen);
    return logPixels;
  }();
  return dpi;
}

int WindowDpi(HWND window) {
  using Function = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = FindSystemFunction<Function>("user32.dll", "GetDpiForWindow");
  const UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetric(int index, int dpi) {
  using Function = int(WINAPI*)(int, UINT);
  static const auto metricForDpi = FindSystemFunction<Function>("user32.dll", "GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

int ControlMetric(int index, int dpi) {
  return std::max(SystemMetric(index, dpi), GetSystemMetrics(index));
}

SIZE WindowSizeAround(SIZE client, DWORD style, int dpi) {
  using Function = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = FindSystemFunction<Function>("user32.dll", "AdjustWindowRectExForDpi");
  RECT frame{0, 0, client.cx, client.cy};
  if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, 0, dpi))
    AdjustWindowRectEx(&frame, style, FALSE, 0);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

void EnableTitleBarScaling(HWND window) {
  using Function = BOOL(WINAPI*)(HWND);
  static const auto enable = FindSystemFunction<Function>("user32.dll", "EnableNonClientDpiScaling");
  if (enable) enable(window);
}
