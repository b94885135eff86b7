#include "toolkit/Dpi.h"

#include <shellscalingapi.h>

#include <algorithm>

#include "base/SystemFunction.h"

namespace {

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

// Windows 98 and 2000 on; 95 and NT 4.0 have one screen and no monitor functions.
HMONITOR MonitorOf(HWND window, DWORD fallback) {
  static const auto monitorFromWindow =
      FindSystemFunction<decltype(&MonitorFromWindow)>("user32.dll", "MonitorFromWindow");
  return monitorFromWindow ? monitorFromWindow(window, fallback) : nullptr;
}

// Windows 8.1 to 10 1511 know a monitor's DPI, not yet a window's.
UINT MonitorDpi(HWND window) {
  static const auto dpiForMonitor =
      FindSystemFunction<decltype(&GetDpiForMonitor)>("shcore.dll", "GetDpiForMonitor");
  UINT x = 0, y = 0;
  const HMONITOR monitor = dpiForMonitor ? MonitorOf(window, MONITOR_DEFAULTTONEAREST) : nullptr;
  // The effective DPI: what the user chose for the monitor.
  return monitor && SUCCEEDED(dpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &x, &y)) ? y : 0;
}

// The work area to bring the window onto; false when some monitor shows part of it already.
bool WorkAreaFor(HWND window, const RECT& frame, RECT& work) {
  static const auto getMonitorInfo = FindSystemFunction<decltype(&GetMonitorInfoA)>("user32.dll", "GetMonitorInfoA");
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (const HMONITOR nearest = MonitorOf(window, MONITOR_DEFAULTTONEAREST); nearest && getMonitorInfo) {
    if (MonitorOf(window, MONITOR_DEFAULTTONULL) || !getMonitorInfo(nearest, &monitor)) return false;
    work = monitor.rcWork;
    return true;
  }
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT shown;
  return !IntersectRect(&shown, &frame, &screen) && SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
}

}  // namespace

int WindowDpi(HWND window) {
  static const auto dpiForWindow = FindSystemFunction<decltype(&GetDpiForWindow)>("user32.dll", "GetDpiForWindow");
  UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
  if (!dpi) dpi = MonitorDpi(window);
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

void MoveOntoScreen(HWND window) {
  RECT frame, work;
  if (!GetWindowRect(window, &frame) || !WorkAreaFor(window, frame, work)) return;
  // Whole where it fits; a window larger than the work area keeps its title bar on it.
  const LONG left = std::max(work.left, std::min(frame.left, work.right - (frame.right - frame.left)));
  const LONG top = std::max(work.top, std::min(frame.top, work.bottom - (frame.bottom - frame.top)));
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SystemMetric(int index, int dpi) {
  static const auto metricForDpi =
      FindSystemFunction<decltype(&GetSystemMetricsForDpi)>("user32.dll", "GetSystemMetricsForDpi");
  if (metricForDpi) return metricForDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

int ControlMetric(int index, int dpi) {
  return std::max(SystemMetric(index, dpi), GetSystemMetrics(index));
}

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
