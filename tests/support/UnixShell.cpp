#include "tests/support/UnixShell.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "base/UniqueResource.h"
#include "tests/support/Waiting.h"

namespace {

bool FileExists(const std::string& unixPath) {
  return GetFileAttributesA(WindowsPath(unixPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::string& unixPath) {
  FileHandle file(CreateFileA(WindowsPath(unixPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr));
  std::string text;
  if (!file) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  return text;
}

}  // namespace

std::string WindowsPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

PROCESS_INFORMATION StartProcess(std::string commandLine, const std::string& what) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw std::runtime_error(what + " does not start, error " + std::to_string(GetLastError()));
  }
  if (process.hThread) CloseHandle(process.hThread);
  process.hThread = nullptr;
  return process;
}

ShellResult RunShell(const std::string& script, DWORD timeoutMs) {
  if (script.find('"') != std::string::npos) throw std::runtime_error("double quote in: " + script);
  static std::atomic<int> serial{0};
  const std::string base = std::string(DVX_TEST_WORK_DIR) + "/sh-" +
                           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
  const std::string output = base + ".out", status = base + ".status";
  // The status file appears whole (renamed into place), so it is never read half written.
  // The tests read what the commands print: in C, whatever locale the Wine prefix runs in.
  std::string commandLine = "/bin/sh -c \"export LC_ALL=C; mkdir -p " DVX_TEST_WORK_DIR "; (" +
                            script + ") >" + output + " 2>&1 </dev/null; echo $? >" + status +
                            ".new; mv " + status + ".new " + status + "\"";
  const PROCESS_INFORMATION process = StartProcess(commandLine, "/bin/sh");
  if (process.hProcess) CloseHandle(process.hProcess);

  if (!WaitUntil([&] { return FileExists(status); }, timeoutMs)) {
    throw std::runtime_error("still running after " + std::to_string(timeoutMs) + " ms: " + script);
  }
  ShellResult result;
  result.status = std::atoi(ReadWholeFile(status).c_str());
  result.output = ReadWholeFile(output);
  DeleteFileA(WindowsPath(status).c_str());
  DeleteFileA(WindowsPath(output).c_str());
  return result;
}
