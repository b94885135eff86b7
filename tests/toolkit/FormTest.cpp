#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/toolkit/GuiTest.h"
#include "toolkit/Application.h"
#include "toolkit/Window.h"

namespace {

using K = ControlKind;

const ControlSpec kLayout[] = {
    {K::PageControl, "pages", 100, "", 8, 4, 280, 200, -1},
    {K::TabSheet, "sheet1", 0, "One", 0, 0, 0, 0, -1},
    {K::TabSheet, "sheet2", 0, "Two", 0, 0, 0, 0, -1},
    {K::Label, "first", 101, "First", 10, 20, 100, 13, 0},
    {K::WrapLabel, "note", 102, "A note over two lines", 10, 40, 100, 26, 0},
    {K::Bevel, "frame", 103, "", 5, 5, 250, 150, 1},
    {K::ComboBox, "second", 104, "", 12, 14, 145, 21, 1},
    {K::Edit, "status", 105, "", 52, 250, 200, 21, -1},
};

bool Shown(const Control& control) { return GetWindowLongA(control.Handle(), GWL_STYLE) & WS_VISIBLE; }

// Collects what reaches the application's exception hook.
class HookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().OnException = [this](const std::exception& error) { reported.push_back(error.what()); };
  }
  void TearDown() override { App().OnException = nullptr; }

  std::vector<std::string> reported;
};

using FormTest = HookTest;

TEST_F(FormTest, HasTheExactClientSizeNoSizingAndTheApplicationAsOwner) {
  TestForm form(kLayout);
  RECT client;
  GetClientRect(form.Handle(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 280);
  const LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), App().Handle());
  // Every control in the form's font, 8-point MS Sans Serif.
  const auto fontOf = [&form](const char* name) {
    return reinterpret_cast<HFONT>(SendMessageA(form.FindControl(name)->Handle(), WM_GETFONT, 0, 0));
  };
  LOGFONTA font{};
  ASSERT_TRUE(GetObjectA(fontOf("status"), sizeof font, &font));
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(fontOf("first"), fontOf("status"));
}

TEST_F(FormTest, FindsControlsByNameAndKind) {
  TestForm form(kLayout);
  EXPECT_EQ(form.Find<ComboBox>("second").Name(), "second");
  EXPECT_EQ(form.Find<Label>("note").Text(), "A note over two lines");
  EXPECT_EQ(form.FindControl("missing"), nullptr);
  EXPECT_THROW(form.Find<Label>("missing"), Error);
  EXPECT_THROW(form.Find<CheckBox>("second"), Error);

  const ControlSpec twice[] = {{K::Label, "first", 106, "Again", 0, 0, 10, 10, -1}};
  EXPECT_THROW(form.CreateControls(twice), Error);
  const ControlSpec pageless[] = {{K::Label, "x", 107, "", 0, 0, 10, 10, 0}};
  EXPECT_THROW(TestForm{pageless}, Error);
  const ControlSpec sameId[] = {{K::Label, "a", 108, "", 0, 0, 10, 10, -1},
                                {K::Label, "b", 108, "", 0, 0, 10, 10, -1}};
  EXPECT_THROW(TestForm{sameId}, Error);
}

TEST_F(FormTest, ShowsOnlyTheActivePagesControlsAtPageRelativePositions) {
  TestForm form(kLayout);
  auto& pages = form.Find<PageControl>("pages");
  auto& first = form.Find<Label>("first");
  auto& second = form.Find<ComboBox>("second");
  auto& note = form.Find<Label>("note");

  ASSERT_EQ(pages.PageCount(), 2);
  EXPECT_EQ(pages.ActivePage(), 0);
  EXPECT_TRUE(Shown(first));
  EXPECT_FALSE(Shown(second));
  EXPECT_TRUE(Shown(form.Find<Edit>("status")));

  const RECT area = pages.DisplayRect();
  const RECT tabs = BoundsInParent(pages.Handle());
  EXPECT_GT(area.top, tabs.top + 10);  // below the row of tabs
  const RECT placed = BoundsInParent(second.Handle());
  EXPECT_EQ(placed.left, area.left + 12);
  EXPECT_EQ(placed.top, area.top + 14);

  pages.SetActivePage(1);
  EXPECT_FALSE(Shown(first));
  EXPECT_TRUE(Shown(second));

  // The control's own visibility holds through page changes, both ways.
  note.SetVisible(false);
  first.SetVisible(true);
  EXPECT_FALSE(Shown(first));
  pages.SetActivePage(0);
  EXPECT_TRUE(Shown(first));
  EXPECT_FALSE(Shown(note));
  EXPECT_FALSE(note.Visible());

  // A click on the second tab, as the user makes it.
  RECT tab{};
  SendMessageA(pages.Handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
  const LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
  SendMessageA(pages.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageA(pages.Handle(), WM_LBUTTONUP, 0, point);
  EXPECT_EQ(pages.ActivePage(), 1);
  EXPECT_TRUE(Shown(second));
  EXPECT_FALSE(Shown(first));

  // A notification sent from another thread, or another process, points into the sender's
  // memory and is never read: the tab moves back unnotified, and a "selection changed" sent by a
  // second thread must not show its page.
  SendMessageA(pages.Handle(), TCM_SETCURSEL, 0, 0);
  EXPECT_TRUE(RunOnAnotherThread([&form, &pages] {
    NMHDR header{pages.Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(pages.Handle())),
                 static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(form.Handle(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  }));
  EXPECT_TRUE(Shown(second));
  EXPECT_FALSE(Shown(first));
}

TEST_F(FormTest, FramesLieBelowTheControlsOnThemAndTabsFillTheRow) {
  TestForm form(kLayout);
  auto& pages = form.Find<PageControl>("pages");
  const HWND bottom = GetWindow(GetWindow(form.Handle(), GW_CHILD), GW_HWNDLAST);
  EXPECT_EQ(bottom, pages.Handle());
  EXPECT_EQ(GetWindow(bottom, GW_HWNDPREV), form.Find<Bevel>("frame").Handle());

  RECT tab{};
  SendMessageA(pages.Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab));
  EXPECT_EQ(tab.right - tab.left, (280 - 6) / 2);
  EXPECT_GT(tab.bottom - tab.top, 10);
}

TEST_F(FormTest, AnExceptionInAControlsEventReachesTheHookAndNotTheSystem) {
  TestForm form(kLayout);
  auto& combo = form.Find<ComboBox>("second");
  combo.Add("1");
  combo.OnChange = [](ComboBox&) { throw Error("Port failed"); };
  EXPECT_EQ(form.Notify(combo, CBN_SELCHANGE), 0);
  EXPECT_EQ(reported, std::vector<std::string>{"Port failed"});
}

// A window of our own that throws whatever the test asks for.
class ThrowingWindow : public Window {
 public:
  explicit ThrowingWindow(std::function<void()> thrower) : thrower_(std::move(thrower)) {
    Create(0, "", WS_POPUP, 0, 0, 10, 10, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_USER) {
      thrower_();
      return 1;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }

 private:
  std::function<void()> thrower_;
};

using FirewallTest = HookTest;

TEST_F(FirewallTest, EveryExceptionIsStoppedAtTheWindowProcedure) {
  const struct {
    std::function<void()> thrower;
    LRESULT answer;
    std::vector<std::string> reported;
  } cases[] = {
      {[] { throw OSError(5); }, 0, {OSError(5).what()}},
      {[] { throw 42; }, 0, {"Unknown exception"}},
      {[] {}, 1, {}},
  };
  for (const auto& each : cases) {
    reported.clear();
    ThrowingWindow window(each.thrower);
    EXPECT_EQ(SendMessageA(window.Handle(), WM_USER, 0, 0), each.answer);
    EXPECT_EQ(reported, each.reported);
  }
}

}  // namespace
