#include "app/DeviceFeed.h"

#include <cstdio>

#include "counters/Counters.h"
#include "counters/RealCounters.h"
#include "counters/RegionalSettings.h"

namespace {

// A failure of the port: `format` has one %d for the system's error code.
std::string PortError(const char* format, std::uint32_t code) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<int>(code));
  return text;
}

}  // namespace

TickResult DeviceFeed::Tick(const Settings& settings) {
  TickResult result;
  try {
    // A DLL loaded since the last tick (a shell extension, say) may have changed the precision.
    InitFloatingPoint();
    RefreshLoadData();
    Frame.fill(0);
    for (int i = 0; i < kChannelCount; ++i) {
      const TBaseCounter* counter = CounterByIndex(settings.channels[i]);
      if (!counter) continue;  // no choice: the label keeps its text, the byte stays 0
      result.labels[i] = counter->GetText();
      Frame[kFirstChannelByte + i] = counter->GetByte();
    }
    const Transmission wire = PrepareTransmission(Frame, settings.writeMode);
    if (wire.count == 0) return result;  // no write mode: the port stays as it is
    CommPort.SetBaudRate(wire.baud);
    result.error = SendToDevice(settings.port, wire);
  } catch (const std::exception& error) {
    result.error = error.what();
    result.endedEarly = true;
  }
  return result;
}

void DeviceFeed::Rest(const Settings& settings) noexcept {
  // Only on a port that is open (opened again only for a rate changed since the last tick): an open
  // may take seconds, and Windows gives a program about 2 s for a sleep, 5 s at the session's end.
  if (!CommPort.IsOpen()) return;
  try {
    const Transmission wire = PrepareRest(Frame, settings.writeMode);
    if (wire.count == 0) return;
    CommPort.SetBaudRate(wire.baud);
    CommPort.LimitWriteTime(kRestWriteLimitMs);
    CommPort.WriteBytes(wire.bytes, wire.count);
  } catch (const std::exception&) {
  }
}

std::optional<std::string> DeviceFeed::SendToDevice(int port, const Transmission& wire) {
  if (!CommPort.IsOpen()) {
    if (port == 0) return std::nullopt;  // none chosen: nothing is opened, or said
    try {
      CommPort.SetPortNumber(port);
      CommPort.OpenPort();
    } catch (const OSError& error) {
      return PortError("Ошибка открытия COM порта (%d)", error.Code());
    }
  }
  // Reported here, so that the tick ends normally: the next one writes again (after a failed
  // call, on a freshly opened port).
  try {
    CommPort.WriteBytes(wire.bytes, wire.count);
  } catch (const WriteError& error) {
    return PortError("Ошибка записи в COM порт (%d)", error.Code());
  }
  return std::nullopt;
}
