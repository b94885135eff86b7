#include "toolkit/Form.h"

#include <algorithm>
#include <utility>

#include "toolkit/Dpi.h"
#include "base/SystemFunction.h"

namespace {

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kFontPoints = 8;

// MS Sans Serif at `dpi`: 11 pixels at 96 DPI, 13 at 120, 16 at 144, as a dialog asks for its
// font by points.
HFONT CreateFormFont(int dpi) {
  return CreateFontA(-MulDiv(kFontPoints, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

// Has Windows scale a top-level window's title bar and frame with its DPI on 8.1 to 10 1607 (later
// ones do it by themselves).
void EnableTitleBarScaling(HWND window) {
  static const auto enable =
      FindSystemFunction<decltype(&EnableNonClientDpiScaling)>("user32.dll", "EnableNonClientDpiScaling");
  if (enable) enable(window);
}

HPOWERNOTIFY AskForSleepNotices(HWND window) {
  static const auto ask = FindSystemFunction<decltype(&RegisterSuspendResumeNotification)>(
      "user32.dll", "RegisterSuspendResumeNotification");
  return ask ? ask(window, DEVICE_NOTIFY_WINDOW_HANDLE) : nullptr;
}

void StopSleepNotices(HPOWERNOTIFY registration) {
  static const auto stop = FindSystemFunction<decltype(&UnregisterSuspendResumeNotification)>(
      "user32.dll", "UnregisterSuspendResumeNotification");
  if (registration && stop) stop(registration);
}

}  // namespace

Form::Form(HWND owner, int left, int top, int clientWidth, int clientHeight)
    : designClient_{clientWidth, clientHeight} {
  // Owned: no taskbar button, hidden while the owner is minimised. Sized once it exists, when the
  // DPI of its monitor is known.
  Create(0, "", kFormStyle, left, top, 0, 0, owner);
  sleepNotices_ = AskForSleepNotices(Handle());
  ApplyDpi(WindowDpi(Handle()), nullptr);
}

Form::~Form() {
  StopSleepNotices(sleepNotices_);
  // The controls' events may lead into a derived form that is gone: with the list empty, nothing
  // is routed to them while the windows are destroyed.
  const auto controls = std::move(controls_);
  pages_ = nullptr;
  Destroy();
}

void Form::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

std::unique_ptr<Control> Form::MakeControl(const ControlSpec& entry) {
  const ControlSite site{Handle(), entry.name, entry.caption, entry.id};
  switch (entry.kind) {
    case ControlKind::Label: return std::make_unique<Label>(site, false);
    case ControlKind::WrapLabel: return std::make_unique<Label>(site, true);
    case ControlKind::LinkLabel: return std::make_unique<LinkLabel>(site);
    case ControlKind::ValueLabel: return std::make_unique<ValueLabel>(site);
    case ControlKind::ComboBox: return std::make_unique<ComboBox>(site);
    case ControlKind::CheckBox: return std::make_unique<CheckBox>(site);
    case ControlKind::RadioGroup: return std::make_unique<RadioGroup>(site);
    case ControlKind::SpinEdit: return std::make_unique<SpinEdit>(site);
    case ControlKind::Edit: return std::make_unique<Edit>(site);
    case ControlKind::Bevel: return std::make_unique<Bevel>(site);
    case ControlKind::PageControl: return std::make_unique<PageControl>(site);
    case ControlKind::TabSheet: break;
  }
  throw Error("Control \"" + site.name + "\" has no window of its own");
}

void Form::CreateControls(std::span<const ControlSpec> layout) {
  // Frames that other controls lie on (page control, bevel) go below all of them.
  std::vector<Control*> backdrops;
  for (const ControlSpec& entry : layout) {
    const std::string name = entry.name;
    if (entry.kind == ControlKind::TabSheet || entry.page >= 0) {
      if (!pages_) throw Error("\"" + name + "\" is on a page, but there are no pages");
      if (entry.kind == ControlKind::TabSheet) {
        pages_->AddPage(entry.caption);
        continue;
      }
    }
    if (FindControl(name)) throw Error("Control \"" + name + "\" exists twice");
    if (entry.id <= IDCANCEL || GetDlgItem(Handle(), entry.id))
      throw Error("Control \"" + name + "\" has no id of its own");
    Control& control = *controls_.emplace_back(Laid{MakeControl(entry), &entry}).control;
    if (entry.kind == ControlKind::PageControl) pages_ = static_cast<PageControl*>(&control);
    if (entry.kind == ControlKind::PageControl || entry.kind == ControlKind::Bevel)
      backdrops.push_back(&control);
    if (entry.page >= 0) pages_->AddToPage(entry.page, control);
  }
  PlaceControls();
  // Each frame ends up below the ones listed after it, which lie on it.
  for (auto frame = backdrops.rbegin(); frame != backdrops.rend(); ++frame)
    SetWindowPos((*frame)->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Mnemonic underlines and focus rectangles as the user chose, as a dialog's procedure does:
  // hidden until the keyboard is used, unless always shown (98 and NT 4.0 always show them).
  BOOL alwaysUnderline = FALSE;
  SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &alwaysUnderline, 0);
  if (!alwaysUnderline) SendMessageA(Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

void Form::PlaceControls() {
  for (const auto& [control, row] : controls_) {
    Placement placement{scale_.Rect(row->left, row->top, row->width, row->height), font_.Get(), scale_, dpi_};
    if (row->page >= 0) {
      const RECT area = pages_->DisplayRect();
      OffsetRect(&placement.bounds, area.left, area.top);
    }
    control->Place(placement);
  }
}

void Form::ApplyDpi(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  // The old font goes only once no control uses it any more.
  const GdiObject<HFONT> previous = std::exchange(font_, GdiObject<HFONT>(CreateFormFont(dpi)));
  scale_ = LayoutScale::Of(font_.Get());
  PlaceControls();
  // The frame as the system draws it, at the window's own DPI (which under Wine never follows).
  const SIZE size = WindowSize(scale_, WindowDpi(Handle()));
  SetWindowPos(Handle(), nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
               size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE));
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

SIZE Form::WindowSize(const LayoutScale& scale, int frameDpi) const {
  static const auto adjustForDpi =
      FindSystemFunction<decltype(&AdjustWindowRectExForDpi)>("user32.dll", "AdjustWindowRectExForDpi");
  RECT frame{0, 0, scale.X(designClient_.cx), scale.Y(designClient_.cy)};
  // Windows before 10 1607 draw every frame at the system's DPI.
  if (!adjustForDpi || !adjustForDpi(&frame, kFormStyle, FALSE, 0, frameDpi))
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, 0);
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

Control* Form::FindControl(const std::string& name) const {
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [&name](const Laid& laid) { return laid.control->Name() == name; });
  return found == controls_.end() ? nullptr : found->control.get();
}

Control* Form::ControlOf(HWND window) const {
  // A few dozen windows: a look through the list costs less than one call into the system.
  if (!window) return nullptr;
  const auto found = std::find_if(controls_.begin(), controls_.end(),
                                  [window](const Laid& laid) { return laid.control->Owns(window); });
  return found == controls_.end() ? nullptr : found->control.get();
}

void Form::FocusControl(HWND control) {
  // As a dialog does: an edit gets the focus with its text selected.
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
  SetFocus(control);
}

void Form::TurnPage(int step) {
  // As in a property sheet: the focus stays on the row of tabs, or goes to the new page's first
  // control (the tabs, on a page without one).
  const bool onTabs = GetFocus() == pages_->Handle();
  const int count = pages_->PageCount();
  pages_->SetActivePage((pages_->ActivePage() + step + count) % count);
  if (onTabs) return;
  const HWND first = pages_->FirstTabStop();
  FocusControl(first ? first : pages_->Handle());
}

bool Form::HandleDialogKey(MSG& message) {
  // The cheap tests first: this runs for every message of the thread.
  if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
      pages_ && pages_->PageCount() > 0 &&
      (message.hwnd == Handle() || IsChild(Handle(), message.hwnd)) &&
      !(SendMessageA(message.hwnd, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message)) &
        DLGC_WANTMESSAGE)) {
    TurnPage(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
    return true;
  }
  return IsDialogMessageA(Handle(), &message);
}

void Form::RestoreFocus() {
  // Like a dialog: the control that had the focus gets it back, else the first one that takes it.
  HWND target = focus_;
  if (!target || !IsChild(Handle(), target) || !IsWindowVisible(target) || !IsWindowEnabled(target))
    target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
  if (target) SetFocus(target);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const HWND part = reinterpret_cast<HWND>(lParam);
      if (Control* control = ControlOf(part); control && control->HandleCommand(part, HIWORD(wParam)))
        return 0;
      break;
    }
    case WM_NOTIFY: {
      // Our controls notify from this thread. One sent from another thread or process carries an
      // address of the sender's (the system marshals no NMHDR between processes): not ours to read.
      if (InSendMessage()) return 0;
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (Control* control = ControlOf(header.hwndFrom); control && control->HandleNotify(header, result))
        return result;
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (Control* control = ControlOf(reinterpret_cast<HWND>(lParam)))
        if (HBRUSH brush = control->HandleCtlColor(reinterpret_cast<HDC>(wParam)))
          return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_SETCURSOR:
      if (Control* control = ControlOf(reinterpret_cast<HWND>(wParam));
          control && LOWORD(lParam) == HTCLIENT && control->HandleSetCursor())
        return TRUE;
      break;
    case WM_SYSCOMMAND:
      // The minimise button and the system menu minimise the owner, the whole application.
      if ((wParam & 0xFFF0) != SC_MINIMIZE) break;
      [[fallthrough]];
    case WM_CLOSE:
      SendMessageA(GetWindow(Handle(), GW_OWNER), message, wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) focus_ = GetFocus();
      else if (!HIWORD(wParam)) RestoreFocus();
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_NEXTDLGCTL: {
      // The dialog manager moves the focus (an Alt+letter mnemonic: its label's next control) as a
      // dialog's procedure would: wParam names the control, or asks for the next or previous one.
      const HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                         : GetNextDlgTabItem(Handle(), GetFocus(), wParam != 0);
      if (target && IsChild(Handle(), target)) FocusControl(target);
      return 0;
    }
    case WM_NCCREATE:
      EnableTitleBarScaling(Handle());
      break;
    case WM_GETDPISCALEDSIZE: {
      // Windows 10 1703 on asks for the size at the new DPI before the move: the layout's, so that
      // the rectangle it suggests next fits.
      const int dpi = static_cast<int>(wParam);
      const GdiObject<HFONT> font(CreateFormFont(dpi));
      *reinterpret_cast<SIZE*>(lParam) = WindowSize(LayoutScale::Of(font.Get()), dpi);
      return TRUE;
    }
    case WM_DPICHANGED:
      // Moved to a monitor of another DPI, or its scaling changed: the DPI comes with the message.
      ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
      DpiChanged();
      return 0;
  }
  return Window::HandleMessage(message, wParam, lParam);
}
