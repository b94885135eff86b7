// The real main window, hidden, in-process: the modules start once per test process, the serial
// ports are a fake, and the settings key of the test prefix starts empty for every test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "app/Main.h"
#include "tests/support/FakeSerialOs.h"
#include "tests/support/SettingsKey.h"
#include "tests/support/UserActions.h"

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the window: start-up, settings load and the first poll cycle run inside. The tray icon
  // and the links go to `shell`.
  TfrmMain& Start(ShellCalls shell = {});
  // Destroys it: the shutdown save runs inside.
  void Stop() { form_.reset(); }

  template <class T>
  T& Get(const std::string& name) {
    return form_->Find<T>(name);
  }
  // What the user's choice of an item, a click on a check box or on a minimise mode look like to
  // the window.
  void Choose(const std::string& comboName, int index);
  void Click(const std::string& checkBoxName);
  void ChooseMinimizeMode(int mode);
  std::string StatusText() { return Get<Edit>("txtStatusLine").Text(); }
  bool StatusIsError() { return TextColourOf(Get<Edit>("txtStatusLine").Handle()) == RGB(255, 0, 0); }

  FakeSerialOs serial;

 private:
  std::unique_ptr<TfrmMain> form_;
};
