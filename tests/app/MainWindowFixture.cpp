#include "tests/app/MainWindowFixture.h"

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

HKEY OpenSettings() {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  return key;
}

}  // namespace

void MainWindowTest::SetUp() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

void MainWindowTest::TearDown() {
  form_.reset();
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

TfrmMain& MainWindowTest::Start() {
  form_ = std::make_unique<TfrmMain>(serial);
  return *form_;
}

void MainWindowTest::Choose(const std::string& comboName, int index) {
  auto& combo = Get<ComboBox>(comboName);
  SendMessageA(combo.Handle(), CB_SETCURSEL, index, 0);
  SendMessageA(form_->Handle(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(combo.Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo.Handle()));
}

void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
  const HKEY key = OpenSettings();
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void SetDword(const char* name, DWORD value) { SetRaw(name, REG_DWORD, &value, sizeof value); }

void SetText(const char* name, const std::string& value, DWORD type) {
  SetRaw(name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void CreateEmptySettingsKey() { RegCloseKey(OpenSettings()); }

bool ValueExists(const char* name) {
  return RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, nullptr, nullptr,
                      nullptr) == ERROR_SUCCESS;
}

DWORD GetDword(const char* name) {
  DWORD value = 0xDEADBEEF;
  DWORD size = sizeof value;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                         &size),
            ERROR_SUCCESS)
      << name;
  return value;
}

std::string GetText(const char* name) {
  char buffer[256] = {};
  DWORD size = sizeof buffer;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buffer,
                         &size),
            ERROR_SUCCESS)
      << name;
  return buffer;
}
