// Unix commands from the Windows side. Wine starts a Unix program from CreateProcessA but hands back
// no handle to wait on, so the command leaves its output and its exit status in files under the
// test's work directory, and those are what is waited for.
#pragma once

#include <windows.h>

#include <string>

// Starts a program (Windows or Unix) from a command line; throws std::runtime_error naming `what`
// when it cannot. The thread handle is closed; the process handle is the caller's to close.
PROCESS_INFORMATION StartProcess(std::string commandLine, const std::string& what);

// Wine shows the Unix file system as drive Z:.
std::string WindowsPath(const std::string& unixPath);

struct ShellResult {
  int status = -1;
  std::string output;  // standard output and standard error together
};

// Runs `script` with /bin/sh and waits up to `timeoutMs` for it to end. The script may not contain
// double quotes (it travels inside a Windows command line). Throws std::runtime_error when it
// cannot be started or does not end in time.
ShellResult RunShell(const std::string& script, DWORD timeoutMs = 15000);
