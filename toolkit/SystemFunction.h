// A system function that not every Windows the program runs on has, looked up at run time: its
// address, or nullptr where the system lacks the function or its DLL. Imported by name, such a
// function would stop the program from loading at all there.
#pragma once

#include <windows.h>

template <typename Function>
Function FindSystemFunction(const char* dll, const char* name) {
  // The DLL stays loaded: the address must stay valid for the program's life.
  const HMODULE module = LoadLibraryA(dll);
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}
