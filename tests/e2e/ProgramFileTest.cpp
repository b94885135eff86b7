// What the shipped dialvox.exe carries besides its code, as Windows reads it from the file: the
// version information (Explorer's Details, Task Manager), the icon in every size Windows asks for,
// and the manifest.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "tests/e2e/DialvoxTest.h"
#include "tests/support/UnixShell.h"

namespace e2e {
namespace {

std::string VersionValue(const std::string& file, const char* name) {
  DWORD ignored = 0;
  std::string data(GetFileVersionInfoSizeA(file.c_str(), &ignored), '\0');
  if (data.empty() || !GetFileVersionInfoA(file.c_str(), 0, data.size(), data.data())) return "";
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\041904E3\\") + name;
  if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "";
  return std::string(value);
}

BOOL CALLBACK AddIconSize(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR sizes) {
  const HRSRC found = FindResourceA(module, name, type);
  const auto* image = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
  if (image) reinterpret_cast<std::set<LONG>*>(sizes)->insert(image->biWidth);
  return TRUE;
}

using E2eProgramFile = DialvoxTest;

TEST_F(E2eProgramFile, CarriesItsVersionEveryIconSizeAndItsManifest) {
  const std::string file = WindowsPath(DVX_DIALVOX_EXE);
  // One version, the one the About page shows.
  const std::string version = VersionValue(file, "FileVersion");
  EXPECT_EQ(VersionValue(file, "ProductVersion"), version);
  EXPECT_EQ(VersionValue(file, "OriginalFilename"), "dialvox.exe");
  EXPECT_EQ(VersionValue(file, "FileDescription").rfind("Dialvox — загрузка", 0), 0u);
  Dialvox& dialvox = Start();
  EXPECT_EQ(WindowText(GetDlgItem(dialvox.MainWindow(), idVersion)), "Версия: " + version);

  const HMODULE module = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(module);
  std::set<LONG> sizes;
  EnumResourceNamesA(module, RT_ICON, AddIconSize, reinterpret_cast<LONG_PTR>(&sizes));
  EXPECT_EQ(sizes, (std::set<LONG>{16, 20, 24, 32, 40, 48}));
  const HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_TRUE(manifest);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                         SizeofResource(module, manifest));
  EXPECT_NE(text.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<"),
            std::string::npos);
  EXPECT_NE(text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                      "PerMonitorV2, PerMonitor<"),
            std::string::npos);
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  FreeLibrary(module);
}

}  // namespace
}  // namespace e2e
