#include "tests/app/MainWindowFixture.h"

#include "app/MainLayout.h"
#include "app/Modules.h"
#include "toolkit/Application.h"

namespace {

class ProgramEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    InitializeModules();
    App().Initialize(GetModuleHandleA(nullptr), "DialvoxWindow");
    App().SetTitle("Dialvox");
  }
  void TearDown() override { FinalizeModules(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ProgramEnvironment);

}  // namespace

void MainWindowTest::SetUp() { DeleteSettings(); }

void MainWindowTest::TearDown() {
  form_.reset();
  DeleteSettings();
}

TfrmMain& MainWindowTest::Start(ShellCalls shell) {
  form_ = std::make_unique<TfrmMain>(serial, shell);
  return *form_;
}

void MainWindowTest::Choose(const std::string& comboName, int index) {
  PickItem(Get<ComboBox>(comboName).Handle(), index);
}

void MainWindowTest::Click(const std::string& checkBoxName) {
  SendMessageA(Get<CheckBox>(checkBoxName).Handle(), BM_CLICK, 0, 0);
}

void MainWindowTest::ChooseMinimizeMode(int mode) { ClickRadioButton(form_->Handle(), idMinMode, mode); }
