#include "tests/e2e/DeviceLine.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "tests/support/UnixShell.h"

namespace e2e {
namespace {

using devicesim::Clock;

// Where cmake/wine-run.sh points COM1..COM3 of the prefix.
std::string PortsDir() {
  const char* dir = std::getenv("DVX_PORTS_DIR");
  if (!dir || !*dir) throw std::runtime_error("DVX_PORTS_DIR is not set");
  return dir;
}

// Where the prefix's DOS device names live; Wine resolves them at every open.
std::string DosDevicesDir() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix || !*prefix) throw std::runtime_error("WINEPREFIX is not set");
  return std::string(prefix) + "/dosdevices";
}

void RunPtyPair(const std::string& arguments) {
  const ShellResult result = RunShell(std::string(DVX_PTY_PAIR) + " " + arguments);
  if (result.status != 0) throw std::runtime_error("pty-pair.sh " + arguments + ": " + result.output);
}

}  // namespace

void PlugDevice(const char* programEnd, const char* deviceEnd) {
  RunPtyPair("start " + PortsDir() + " " + programEnd + " " + deviceEnd);
}

void UnplugDevice(const char* programEnd) { RunPtyPair("stop " + PortsDir() + " " + programEnd); }

void PlugAdapter(const char* programEnd, const char* deviceEnd) {
  RunPtyPair("start " + DosDevicesDir() + " " + programEnd + " " + deviceEnd);
}

void UnplugAdapter(const char* programEnd) { RunPtyPair("stop " + DosDevicesDir() + " " + programEnd); }

void HoldLine(bool hold) { RunPtyPair((hold ? "hold " : "release ") + PortsDir() + " com1"); }

bool DevicePlugged() {
  // The script's mark of a running pair. (Windows takes "com1" itself for the device COM1.)
  return GetFileAttributesA(WindowsPath(PortsDir() + "/pair-com1.pid").c_str()) !=
         INVALID_FILE_ATTRIBUTES;
}

std::string ProgramLineSpeed() {
  const ShellResult result = RunShell("stty -F " + PortsDir() + "/com1 speed");
  std::string speed = result.output;
  speed.erase(std::remove_if(speed.begin(), speed.end(), [](char c) { return c == '\n' || c == '\r'; }),
              speed.end());
  return result.status == 0 ? speed : "stty failed: " + speed;
}

std::size_t Reception::Count(devicesim::FrameKind kind) const {
  return static_cast<std::size_t>(std::count_if(frames.begin(), frames.end(),
                                                [kind](const auto& frame) { return frame.kind == kind; }));
}

DeviceEnd::DeviceEnd(const char* port)
    : port_(CreateFileA(port, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
  if (!port_) {
    throw std::runtime_error(std::string(port) + " does not open, error " + std::to_string(GetLastError()));
  }
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 115200;
  dcb.fBinary = TRUE;
  dcb.ByteSize = 8;
  // A read returns as soon as anything has arrived, or after 20 ms with nothing.
  COMMTIMEOUTS timeouts{MAXDWORD, MAXDWORD, 20, 0, 0};
  if (!SetCommState(port_.Get(), &dcb) || !SetCommTimeouts(port_.Get(), &timeouts)) {
    throw std::runtime_error("COM2 does not take its settings, error " + std::to_string(GetLastError()));
  }
  Discard();
}

void DeviceEnd::Discard() {
  PurgeComm(port_.Get(), PURGE_RXCLEAR | PURGE_RXABORT);
  // What the pty had already passed on is not in the driver's queue: read it away.
  while (!Read().empty()) {
  }
}

std::vector<std::uint8_t> DeviceEnd::Read() {
  std::uint8_t buffer[256];
  DWORD got = 0;
  if (!ReadFile(port_.Get(), buffer, sizeof buffer, &got, nullptr)) {
    throw std::runtime_error("reading COM2 failed, error " + std::to_string(GetLastError()));
  }
  return std::vector<std::uint8_t>(buffer, buffer + got);
}

Reception DeviceEnd::Listen(DWORD ms) {
  devicesim::FrameDecoder decoder;
  Reception reception;
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < deadline) {
    const auto bytes = Read();
    const auto frames = decoder.Feed(bytes, Clock::now());
    reception.frames.insert(reception.frames.end(), frames.begin(), frames.end());
  }
  const auto rest = decoder.Finish();
  reception.frames.insert(reception.frames.end(), rest.begin(), rest.end());
  reception.counts = decoder.Counts();
  return reception;
}

bool DeviceEnd::NextFrame(devicesim::Frame& frame, DWORD timeoutMs) {
  devicesim::FrameDecoder decoder;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < deadline) {
    for (const auto& decoded : decoder.Feed(Read(), Clock::now())) {
      if (decoded.kind != devicesim::FrameKind::OneByte) {
        frame = decoded;
        return true;
      }
    }
  }
  return false;
}

}  // namespace e2e
