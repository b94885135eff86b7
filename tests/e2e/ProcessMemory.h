// Memory in the process of another program's window: the messages that fill a structure (a tab's
// rectangle, a tooltip's text) take a pointer in the window's own address space.
#pragma once

#include <windows.h>

#include <stdexcept>

#include "base/UniqueResource.h"

namespace e2e {

class ProcessMemory {
 public:
  ProcessMemory(HWND window, SIZE_T size) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    process_ = KernelHandle(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (process_) address_ = VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (!address_) throw std::runtime_error("no memory in the window's process");
  }
  ~ProcessMemory() { VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE); }
  ProcessMemory(const ProcessMemory&) = delete;
  ProcessMemory& operator=(const ProcessMemory&) = delete;

  void* Address(SIZE_T offset = 0) const { return static_cast<char*>(address_) + offset; }
  LPARAM Param(SIZE_T offset = 0) const { return reinterpret_cast<LPARAM>(Address(offset)); }
  void Write(SIZE_T offset, const void* data, SIZE_T size) const {
    WriteProcessMemory(process_.Get(), Address(offset), data, size, nullptr);
  }
  void Read(SIZE_T offset, void* data, SIZE_T size) const {
    ReadProcessMemory(process_.Get(), Address(offset), data, size, nullptr);
  }

 private:
  KernelHandle process_;
  void* address_ = nullptr;
};

}  // namespace e2e
