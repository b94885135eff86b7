// The window as the user sees it at the DPI of the prefix the test runs in (96 in the tree's own,
// 120, 144 and 192 in prefixes of their own: tests/e2e/at-dpi.sh), after a move to a monitor of
// another DPI, and through the keyboard. Every text of every page must fit its control, measured
// with the window's font, MS Sans Serif 8 point at the window's DPI, as this process gets it; each
// drop-down list's item height, which the control takes from its own font, shows it is the same.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/DialvoxTest.h"
#include "tests/e2e/ProcessMemory.h"
#include "tests/support/Waiting.h"

namespace e2e {
namespace {

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

class WindowFont {
 public:
  explicit WindowFont(int dpi) : dc_(GetDC(nullptr)) {
    font_ = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE,
                        FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                        DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    previous_ = SelectObject(dc_, font_);
    GetTextMetricsA(dc_, &metrics_);
  }
  ~WindowFont() {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
    ReleaseDC(nullptr, dc_);
  }
  WindowFont(const WindowFont&) = delete;
  WindowFont& operator=(const WindowFont&) = delete;

  std::string Face() const {
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc_, sizeof face, face);
    return face;
  }
  int Height() const { return metrics_.tmHeight; }
  int CharWidth() const { return metrics_.tmAveCharWidth; }
  // The size a control draws the text in: on one line, or broken into lines `width` wide. An
  // ampersand marks a mnemonic unless `format` has DT_NOPREFIX.
  SIZE Text(const std::string& text, UINT format, int width = 0) const {
    RECT box{0, 0, width, 0};
    DrawTextA(dc_, text.c_str(), -1, &box, format | DT_CALCRECT);
    return SIZE{box.right, box.bottom};
  }

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ previous_;
  TEXTMETRICA metrics_{};
};

// For the test's log, which a Unix terminal shows: the program's texts are Windows-1251.
std::string Utf8(const std::string& text) {
  std::wstring wide(text.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                  wide.data(), static_cast<int>(wide.size())));
  std::string utf8(wide.size() * 3, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                  utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
  return utf8;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK AddChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, AddChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right, client.bottom};
}

// The tab control's captions and each tab's rectangle, asked in the program's own memory.
std::vector<std::pair<std::string, RECT>> Tabs(HWND tabs) {
  std::vector<std::pair<std::string, RECT>> result;
  constexpr SIZE_T kTextOffset = 256, kTextChars = 64;
  const ProcessMemory memory(tabs, kTextOffset + kTextChars * sizeof(WCHAR));
  for (int index = 0, count = TabCtrl_GetItemCount(tabs); index < count; ++index) {
    RECT place{};
    SendMessageA(tabs, TCM_GETITEMRECT, index, memory.Param());
    memory.Read(0, &place, sizeof place);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = static_cast<LPWSTR>(memory.Address(kTextOffset));
    item.cchTextMax = kTextChars;
    memory.Write(0, &item, sizeof item);
    SendMessageW(tabs, TCM_GETITEMW, index, memory.Param());
    WCHAR text[kTextChars] = {};
    memory.Read(kTextOffset, text, sizeof text - sizeof(WCHAR));
    char caption[kTextChars * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, caption, sizeof caption, nullptr, nullptr);
    result.emplace_back(caption, place);
  }
  return result;
}

// What does not fit, one line each: "Static "Счетчик 1": needs 65 x 16, has 60 x 13".
class Misfits {
 public:
  void Check(const std::string& kind, const std::string& text, SIZE needs, SIZE has) {
    if (needs.cx <= has.cx && needs.cy <= has.cy) return;
    lines_ += kind + " \"" + text + "\": needs " + std::to_string(needs.cx) + " x " +
              std::to_string(needs.cy) + ", has " + std::to_string(has.cx) + " x " +
              std::to_string(has.cy) + "\n";
  }
  const std::string& Lines() const { return lines_; }

 private:
  std::string lines_;
};

// The place of every control of the window in its client area, in z-order (not the windows that
// controls make for themselves, such as the tab row's scroll arrows).
std::vector<RECT> Places(HWND window) {
  std::vector<RECT> places;
  for (const HWND child : Children(window)) {
    if (GetParent(child) != window) continue;
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    places.push_back(place);
  }
  return places;
}

// Every text of the window that does not fit its control at `dpi`, one line each; `checked` counts
// the controls looked at.
std::string TextsThatDoNotFit(HWND window, int dpi, int& checked) {
  const WindowFont font(dpi);
  // What the system draws inside the controls: at the window's DPI on Windows, at the system's
  // under Wine. The larger of the two must fit.
  const auto metric = [dpi](int index) {
    return std::max(GetSystemMetricsForDpi(index, dpi), GetSystemMetrics(index));
  };
  const int edge = metric(SM_CXEDGE);
  const int glyph = metric(SM_CXMENUCHECK);
  const int arrow = metric(SM_CXVSCROLL) + 2 * edge;
  char separator[4] = ",";
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator);
  Misfits misfits;
  checked = 0;
  for (const HWND child : Children(window)) {
    const std::string kind = ClassOf(child);
    const std::string text = WindowText(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    const SIZE has = ClientSize(child);
    const auto line = [&](const std::string& shown, UINT format = 0) {
      return font.Text(shown, DT_SINGLELINE | format);
    };
    if (kind == "Static" && !text.empty()) {
      const bool wraps = (style & SS_TYPEMASK) == SS_LEFT;
      misfits.Check(kind, text, wraps ? font.Text(text, DT_WORDBREAK, has.cx) : line(text), has);
    } else if (kind == "ValueLabel") {
      for (const std::string& value : {text, "100" + std::string(separator) + "00 %"})
        misfits.Check(kind, value, line(value, DT_NOPREFIX), has);
    } else if (kind == "Button") {
      const LONG type = style & BS_TYPEMASK;
      SIZE needs = line(text);
      if (type == BS_GROUPBOX) {
        needs.cx += 2 * font.CharWidth();
      } else {
        needs.cx += glyph + (text.empty() ? 0 : font.CharWidth());
        needs.cy = std::max<LONG>(needs.cy, glyph);
      }
      misfits.Check(kind, text, needs, has);
    } else if (kind == "ComboBox") {
      EXPECT_EQ(SendMessageA(child, CB_GETITEMHEIGHT, 0, 0), font.Height()) << "another font";
      const auto items = ListItems(child);
      const LRESULT selected = SendMessageA(child, CB_GETCURSEL, 0, 0);
      const LONG listWidth =
          std::max<LONG>(has.cx, static_cast<LONG>(SendMessageA(child, CB_GETDROPPEDWIDTH, 0, 0)));
      for (std::size_t i = 0; i < items.size(); ++i) {
        SIZE needs = line(items[i], DT_NOPREFIX);
        needs.cx += arrow;
        misfits.Check(kind + " list", items[i], needs, SIZE{listWidth, needs.cy});
        if (static_cast<LRESULT>(i) == selected) misfits.Check(kind, items[i], needs, has);
      }
    } else if (kind == "Edit") {
      SIZE needs = line(text, DT_NOPREFIX);
      needs.cx += 2 * edge;
      misfits.Check(kind, text, needs, has);
    } else if (kind == WC_TABCONTROLA) {
      for (const auto& [caption, place] : Tabs(child)) {
        SIZE needs = line(caption);
        needs.cx += 2 * edge;
        misfits.Check("Tab", caption, needs, SIZE{place.right - place.left, place.bottom - place.top});
      }
    } else {
      continue;
    }
    ++checked;
  }
  return Utf8(misfits.Lines());
}

using E2eLayout = DialvoxTest;

TEST_F(E2eLayout, EveryTextOfEveryPageFitsItsControl) {
  ASSERT_EQ(WindowFont(ScreenDpi()).Face(), "MS Sans Serif") << "the prefix lacks Windows' own font";
  Dialvox& dialvox = Start();
  const int dpi = ScreenDpi();
  if (dpi == 96) {
    const SIZE client = ClientSize(dialvox.MainWindow());
    EXPECT_EQ(client.cx, 301);  // the design itself
    EXPECT_EQ(client.cy, 294);
  }
  int checked = 0;
  const std::string misfits = TextsThatDoNotFit(dialvox.MainWindow(), dpi, checked);
  EXPECT_GE(checked, 40) << "the window's controls were not found";
  EXPECT_EQ(misfits, "") << "at " << dpi << " DPI these texts do not fit";
}

// Windows tells a per-monitor aware window of a move to a monitor of another DPI with the DPI and
// the rectangle it suggests; from another process the rectangle must be in the window's memory.
void MoveToDpi(HWND window, int dpi, const RECT& suggested) {
  const ProcessMemory memory(window, sizeof suggested);
  memory.Write(0, &suggested, sizeof suggested);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), memory.Param(), SMTO_NORMAL, 5000,
                      &ignored);
}

TEST_F(E2eLayout, AMoveToAMonitorOfAnotherDpiLaysTheWindowOutAsAStartThere) {
  // The client area of a start at each DPI, in a prefix of that DPI. Where the session's DPI is
  // above 96, MS Sans Serif comes from the 120-DPI set at every size, as on Windows: a move to
  // 96 DPI there gives a larger window than a start at 96.
  const std::map<int, SIZE> started{{96, {301, 294}}, {120, {401, 362}}, {144, {452, 452}}};
  const HWND window = Start().MainWindow();
  const int startDpi = ScreenDpi();
  const std::vector<RECT> startPlaces = Places(window);
  const SIZE startClient = ClientSize(window);
  int left = 10;
  for (const int dpi : {144, 120, 192, 96, startDpi}) {
    const RECT suggested{left, 20, left + 300, 320};
    left += 10;
    MoveToDpi(window, dpi, suggested);
    RECT frame{};
    GetWindowRect(window, &frame);
    EXPECT_EQ(frame.left, suggested.left) << dpi;
    EXPECT_EQ(frame.top, suggested.top) << dpi;
    const SIZE client = ClientSize(window);
    if (const auto start = started.find(dpi); startDpi == 96 && start != started.end()) {
      EXPECT_NEAR(client.cx, start->second.cx, start->second.cx * 3 / 100) << dpi;
      EXPECT_NEAR(client.cy, start->second.cy, start->second.cy * 3 / 100) << dpi;
    }
    int checked = 0;
    EXPECT_EQ(TextsThatDoNotFit(window, dpi, checked), "") << "at " << dpi << " DPI these texts do not fit";
  }
  // Back where it started, every control stands where the start put it.
  const SIZE client = ClientSize(window);
  EXPECT_EQ(client.cx, startClient.cx);
  EXPECT_EQ(client.cy, startClient.cy);
  const std::vector<RECT> places = Places(window);
  ASSERT_EQ(places.size(), startPlaces.size());
  for (std::size_t i = 0; i < places.size(); ++i) EXPECT_TRUE(EqualRect(&places[i], &startPlaces[i])) << i;
}

// Keys typed as the user types them: through the system's input queue to the foreground window,
// pressed in the order given and let go in reverse.
void Press(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  const auto add = [&inputs](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (const WORD key : keys) add(key, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

TEST_F(E2eLayout, CtrlTabTurnsThePagesAndAltCFocusesThePortList) {
  Dialvox& dialvox = Start();
  const HWND window = dialvox.MainWindow();
  const HWND tabs = GetDlgItem(window, idPageControl);
  SetForegroundWindow(window);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, 5000));
  const auto reaches = [&](int page, HWND focus) {
    return WaitUntil([&] {
      return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == page && FocusOf(window) == focus;
    }, 5000);
  };
  const HWND portList = GetDlgItem(window, idPortList);

  // From the first page's list to the settings, whose first control takes the focus.
  Press({VK_CONTROL, VK_TAB});
  EXPECT_TRUE(reaches(pgSettings, portList));
  // Elsewhere on the page, Alt+C comes back to the port list through its label "&COM порт".
  Press({VK_TAB});
  EXPECT_TRUE(reaches(pgSettings, GetDlgItem(window, idWriteMode)));
  Press({VK_MENU, 'C'});
  EXPECT_TRUE(reaches(pgSettings, portList));
  // Backwards, wrapping round: the About page has no control that takes the focus, so the row of
  // tabs has it, and keeps it as the pages turn on.
  Press({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_TRUE(reaches(pgCounters, GetDlgItem(window, CounterListId(1))));
  Press({VK_CONTROL, VK_SHIFT, VK_TAB});
  EXPECT_TRUE(reaches(pgAbout, tabs));
  Press({VK_CONTROL, VK_TAB});
  EXPECT_TRUE(reaches(pgCounters, tabs));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, CounterListId(1))));
  EXPECT_FALSE(IsWindowVisible(portList));
}

}  // namespace
}  // namespace e2e
