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

  const int mode = cbxWriteMode->ItemIndex();
  if (mode == wmNone) return;
  if (mode == wmSingleByte) {
    CommPort->SetBaudRate(kSingleByteBaud);
    SendToDevice(&Frame[kFirstChannelByte], 1);
    return;
  }
  CompleteFrame(Frame, mode);
  CommPort->SetBaudRate(kFrameBaud);
  SendToDevice(Frame.data(), kFrameSize);
}

void TfrmMain::SendToDevice(const std::uint8_t* data, int count) {
  if (!CommPort->IsOpen()) {
    if (cbxPortList->Count() == 0) return;
    CommPort->SetPortNumber(PortListNumber());
    try {
      CommPort->OpenPort();
    } catch (const OSError& error) {
      ShowPortError("Ошибка открытия COM порта (%d)", error.Code());
    }
  }
  if (!CommPort->IsOpen() || count <= 0) return;
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
