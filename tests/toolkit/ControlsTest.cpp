#include <gtest/gtest.h>

#include <string>

#include "tests/support/UserActions.h"
#include "tests/toolkit/GuiTest.h"
#include "toolkit/Controls.h"

namespace {

using K = ControlKind;

const ControlSpec kLayout[] = {
    {K::ComboBox, "combo", 100, "", 8, 8, 120, 21, -1},
    {K::SpinEdit, "spin", 101, "", 8, 40, 80, 21, -1},
    {K::RadioGroup, "radios", 102, "Mode", 8, 70, 200, 72, -1},
    {K::CheckBox, "check", 103, "", 8, 150, 15, 17, -1},
    {K::Edit, "status", 104, "", 8, 175, 200, 21, -1},
    {K::LinkLabel, "link", 105, "http://example.org/", 8, 205, 200, 13, -1},
    {K::ValueLabel, "value", 106, "n/a", 8, 225, 60, 13, -1},
};

class ControlsTest : public ::testing::Test {
 protected:
  TestForm form{kLayout};
  ComboBox& combo = form.Find<ComboBox>("combo");
  SpinEdit& spin = form.Find<SpinEdit>("spin");
  RadioGroup& radios = form.Find<RadioGroup>("radios");
  int changes = 0;
};

TEST_F(ControlsTest, ComboBoxKeepsItsTexts) {
  combo.Add("Счетчик CPU");
  combo.Add("Память");
  combo.Add("Без объекта");

  EXPECT_EQ(combo.Count(), 3);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Text(), "");
  EXPECT_EQ(combo.ItemText(1), "Память");
  EXPECT_THROW(combo.ItemText(-1), Error);

  combo.SetItemIndex(1);
  EXPECT_EQ(combo.Text(), "Память");
}

TEST_F(ControlsTest, ComboBoxNotifiesTheUsersChoiceOnly) {
  for (const char* item : {"1", "2", "3"}) combo.Add(item);
  combo.OnChange = [this](ComboBox& sender) {
    EXPECT_EQ(&sender, &combo);
    ++changes;
  };
  combo.SetItemIndex(0);
  EXPECT_EQ(changes, 0);

  // The down arrow on a closed list picks the next item, as the user's keyboard would.
  SendMessageA(combo.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(changes, 1);
}

TEST_F(ControlsTest, SpinEditValueIsTheTextOrTheMinimum) {
  spin.SetRange(-10, 5000);
  const struct {
    const char* text;
    int value;
  } cases[] = {{"400", 400}, {"-5", -5}, {"", -10}, {"abc", -10}, {"12a", -10},
               {" 5", -10},  {"1 000", -10}, {"99999999999", -10}};
  for (const auto& each : cases) {
    SetWindowTextA(spin.Handle(), each.text);
    EXPECT_EQ(spin.Value(), each.value) << '"' << each.text << '"';
  }
}

TEST_F(ControlsTest, SpinEditNotifiesTypingAndArrowsButNotSetValue) {
  spin.SetRange(50, 5000);
  spin.SetIncrement(10);
  spin.OnChange = [this](SpinEdit&) { ++changes; };

  spin.SetValue(400);
  EXPECT_EQ(spin.Text(), "400");
  EXPECT_EQ(changes, 0);

  SetWindowTextA(spin.Handle(), "1000");  // what typing does to the edit
  EXPECT_EQ(changes, 1);

  SendMessageA(spin.Handle(), WM_KEYDOWN, VK_UP, 0);  // the arrow key steps through the up-down
  EXPECT_EQ(spin.Value(), 1010);
  EXPECT_EQ(spin.Text(), "1010");  // no thousands separator
  EXPECT_EQ(changes, 2);
}

TEST_F(ControlsTest, SpinEditCorrectsOutOfRangeValuesOnFocusLossAndNotifies) {
  spin.SetRange(50, 5000);
  spin.OnChange = [this](SpinEdit&) { ++changes; };
  const struct {
    const char* typed;
    const char* after;
    int notified;
  } cases[] = {{"6000", "5000", 1}, {"3", "50", 1}, {"300", "300", 0}, {"abc", "abc", 0}};
  for (const auto& each : cases) {
    spin.SetText(each.typed);
    changes = 0;
    form.Notify(spin, EN_KILLFOCUS);
    EXPECT_EQ(spin.Text(), each.after) << each.typed;
    EXPECT_EQ(changes, each.notified) << each.typed;
  }
}

TEST_F(ControlsTest, RadioGroupSelectsSilentlyAndNotifiesRealClicks) {
  radios.SetItems({"Taskbar", "Tray", "Invisible"});
  radios.OnClick = [this](RadioGroup&) { ++changes; };
  EXPECT_EQ(radios.ItemIndex(), -1);

  radios.SetItemIndex(1);
  EXPECT_EQ(radios.ItemIndex(), 1);
  EXPECT_EQ(changes, 0);

  // The buttons follow the box in the z-order, inside its frame.
  const HWND button = GetWindow(radios.Handle(), GW_HWNDPREV);
  const RECT box = BoundsInParent(radios.Handle());
  const RECT inside = BoundsInParent(button);
  EXPECT_TRUE(inside.left > box.left && inside.right < box.right && inside.top > box.top &&
              inside.bottom < box.bottom);

  // That last button is item 2; a click on it is the user's choice, a second click is no change.
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(radios.ItemIndex(), 2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(SendMessageA(button, BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(button, BM_CLICK, 0, 0);
  EXPECT_EQ(changes, 1);

  radios.SetItemIndex(3);
  EXPECT_EQ(radios.ItemIndex(), -1);
}

TEST_F(ControlsTest, CheckBoxAndVisibility) {
  auto& check = form.Find<CheckBox>("check");
  check.SetChecked(true);
  EXPECT_TRUE(check.Checked());
  check.SetChecked(false);
  EXPECT_FALSE(check.Checked());

  radios.SetItems({"A", "B"});
  radios.SetVisible(false);
  for (HWND part = GetWindow(radios.Handle(), GW_HWNDPREV); form.ControlOf(part) == &radios;
       part = GetWindow(part, GW_HWNDPREV)) {
    EXPECT_FALSE(GetWindowLongA(part, GWL_STYLE) & WS_VISIBLE);
  }
  EXPECT_FALSE(radios.Visible());
}

TEST_F(ControlsTest, StatusEditAndLinkLabelAnswerTheirColourQueries) {
  auto& status = form.Find<Edit>("status");
  auto& link = form.Find<LinkLabel>("link");
  EXPECT_EQ(TextColourOf(status.Handle()), GetSysColor(COLOR_WINDOWTEXT));
  status.SetTextColor(RGB(255, 0, 0));
  EXPECT_EQ(TextColourOf(status.Handle()), RGB(255, 0, 0));
  EXPECT_EQ(TextColourOf(link.Handle()), RGB(0, 0, 255));

  status.SetText("Готов");
  EXPECT_EQ(status.Text(), "Готов");
}

TEST_F(ControlsTest, ValueLabelAnswersForItsTextAndTheSystemKeepsNoStaleCopy) {
  auto& value = form.Find<ValueLabel>("value");
  EXPECT_EQ(value.Text(), "n/a");
  value.SetText("12,50 %");
  EXPECT_EQ(value.Text(), "12,50 %");
  char shortBuffer[4] = "xxx";
  EXPECT_EQ(SendMessageA(value.Handle(), WM_GETTEXT, sizeof shortBuffer,
                         reinterpret_cast<LPARAM>(shortBuffer)),
            3);
  EXPECT_STREQ(shortBuffer, "12,");
  // What another program reads without asking the window: nothing, rather than the first text.
  WCHAR systemCopy[16] = L"x";
  EXPECT_EQ(InternalGetWindowText(value.Handle(), systemCopy, 16), 0);
}

TEST_F(ControlsTest, LinkLabelClicksAndShowsTheHand) {
  auto& link = form.Find<LinkLabel>("link");
  LinkLabel* clicked = nullptr;
  link.OnClick = [&clicked](LinkLabel& sender) { clicked = &sender; };
  form.Notify(link, STN_CLICKED);
  EXPECT_EQ(clicked, &link);
  EXPECT_EQ(SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(link.Handle()),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
}

TEST_F(ControlsTest, WindowsTheFormDidNotMakeAreNeverTakenForControls) {
  // Messages name such windows too: the form itself (WM_SETCURSOR over its bare client area), a
  // combo box's drop-down list (WM_CTLCOLORLISTBOX), and children of other makers, whose user
  // data may hold anything.
  const HWND stranger = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form.Handle(),
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(stranger, GWLP_USERDATA, 0x200);
  COMBOBOXINFO combo_parts{};
  combo_parts.cbSize = sizeof combo_parts;
  ASSERT_TRUE(GetComboBoxInfo(combo.Handle(), &combo_parts));
  const HDC dc = CreateCompatibleDC(nullptr);
  for (const HWND window : {stranger, form.Handle(), combo_parts.hwndList}) {
    EXPECT_EQ(form.ControlOf(window), nullptr);
    SendMessageA(form.Handle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(window));
    SendMessageA(form.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(window));
  }
  EXPECT_EQ(form.ControlOf(combo.Handle()), &combo);
  DeleteDC(dc);
  DestroyWindow(stranger);
}

}  // namespace
