// A system function that not every Windows the program runs on has, looked up at run time: its
// address, or nullptr where the system lacks the function or its DLL. Imported by name, such a
// function would stop the program from loading at all there. The type is the SDK's own
// declaration's, as decltype(&Function), which imports nothing.
#pragma once

#include <windows.h>

#include <string>

template <typename Function>
Function FindSystemFunction(const char* dll, const char* name) {
  // A DLL the system lacks (uxtheme.dll before XP) would otherwise be searched for in the
  // program's folder, the current one and the PATH, where anyone may have put one: only the
  // system folder's copy is loaded. The DLL stays loaded, so the address stays valid.
  HMODULE module = GetModuleHandleA(dll);
  if (!module) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) return nullptr;
    module = LoadLibraryA((std::string(folder) + "\\" + dll).c_str());
  }
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}
