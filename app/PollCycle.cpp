// The poll cycle: what the program is for. One tick reads every channel's counter, shows its text
// and sends the write mode's bytes to the device.
#include <cstdio>

#include "app/Main.h"
#include "counters/Counters.h"
#include "counters/RealCounters.h"
#include "counters/RegionalSettings.h"

void TfrmMain::PollAndSend() {
  // A DLL loaded since the last tick (a shell extension, say) may have changed the precision.
  InitFloatingPoint();
  RefreshLoadData();
  Frame.fill(0);

  for (std::size_t i = 0; i < ChannelList.size(); ++i) {
    ComboBox* list = ChannelList[i];
    TBaseCounter* counter = CounterByIndex(list->ItemIndex());
    if (!counter) continue;  // no selection: the label keeps its text, the byte stays 0
    static_cast<ValueLabel*>(list->Tag)->SetText(counter->GetText());
    Frame[kFirstChannelByte + i] = counter->GetByte();
  }

  const Transmission wire = PrepareTransmission(Frame, cbxWriteMode->ItemIndex());
  if (wire.count == 0) return;  // no write mode: the port stays as it is
  CommPort->SetBaudRate(wire.baud);
  SendToDevice(wire.bytes, wire.count);
}

void TfrmMain::PutNeedlesAtRest() noexcept {
  // A copy that was refused leaves the device to the one it brings back.
  if (refused_ || !CommPort) return;
  // Not reported, nor tried again: the program is ending, or the machine going to sleep.
  try {
    const Transmission wire = PrepareRest(Frame, cbxWriteMode->ItemIndex());
    if (wire.count == 0) return;
    CommPort->SetBaudRate(wire.baud);
    if (OpenChosenPort()) CommPort->WriteBytes(wire.bytes, wire.count);
  } catch (const std::exception&) {
  }
}

bool TfrmMain::OpenChosenPort() {
  if (CommPort->IsOpen()) return true;
  if (cbxPortList->Count() == 0) return false;
  CommPort->SetPortNumber(PortListNumber());
  CommPort->OpenPort();
  return true;
}

void TfrmMain::SendToDevice(const std::uint8_t* data, int count) {
  try {
    if (!OpenChosenPort()) return;
  } catch (const OSError& error) {
    ShowPortError("Ошибка открытия COM порта (%d)", error.Code());
    return;
  }
  if (count <= 0) return;
  // Reported here, so that the cycle ends normally: the start-up cycle goes on to enable the
  // timer, and the next tick writes again (after a failed call, on a freshly opened port).
  try {
    CommPort->WriteBytes(data, count);
  } catch (const WriteError& error) {
    ShowPortError("Ошибка записи в COM порт (%d)", error.Code());
  }
}

void TfrmMain::ShowPortError(const char* format, std::uint32_t code) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<int>(code));
  ShowStatus(true, text);
}
