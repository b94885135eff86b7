#include "app/Utils.h"

#include <dbt.h>
#include <objbase.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "toolkit/Controls.h"
#include "base/SystemFunction.h"

void SelectFirstIfNone(ComboBox& list) {
  if (list.ItemIndex() == -1 && list.Count() > 0) list.SetItemIndex(0);
}

int PortNumberOf(const std::string& name, const char* prefix) {
  const std::size_t digits = std::strlen(prefix);
  if (name.size() <= digits || name.size() > digits + 3) return 0;
  if (lstrcmpiA(name.substr(0, digits).c_str(), prefix) != 0) return 0;
  int number = 0;
  for (std::size_t i = digits; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    number = number * 10 + (name[i] - '0');
  }
  return number >= 1 && number <= 255 ? number : 0;
}

int InsertPort(ComboBox& portList, int number) {
  int index = 0;
  for (const int count = portList.Count(); index < count; ++index) {
    const int listed = PortNumberOf(portList.ItemText(index));
    if (listed == number) return index;
    if (listed > number) break;
  }
  portList.Insert(index, std::to_string(number));
  return index;
}

int ShowPortChoice(ComboBox& portList, int chosen) {
  if (chosen) portList.SetItemIndex(InsertPort(portList, chosen));
  SelectFirstIfNone(portList);
  return PortNumberOf(portList.Text());
}

int ArrivedPort(WPARAM event, LPARAM record) {
  if (event != DBT_DEVICEARRIVAL || !record) return 0;
  const auto& header = *reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
  // The size comes first: only a record that holds a whole header can say what it is.
  if (header.dbch_size < sizeof(DEV_BROADCAST_HDR)) return 0;
  constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_PORT_A, dbcp_name);
  if (header.dbch_devicetype != DBT_DEVTYP_PORT || header.dbch_size <= nameOffset) return 0;
  // The name ends at its zero or at the end of the record, whichever comes first.
  std::string_view name(reinterpret_cast<const DEV_BROADCAST_PORT_A&>(header).dbcp_name,
                        header.dbch_size - nameOffset);
  return PortNumberOf(std::string(name.substr(0, name.find('\0'))), "COM");
}

void AllowAnyProcessTheForeground() {
  const auto allow =
      FindSystemFunction<decltype(&AllowSetForegroundWindow)>("user32.dll", "AllowSetForegroundWindow");
  if (allow) allow(ASFW_ANY);
}

void ComApartment::Join() {
  if (joined_) return;
  // A single-threaded apartment, as CoInitializeEx(COINIT_APARTMENTTHREADED), which Windows 95
  // without DCOM lacks. S_FALSE counts too: the thread was in one already, and leaves it once more.
  const auto join = FindSystemFunction<decltype(&CoInitialize)>("ole32.dll", "CoInitialize");
  joined_ = join && SUCCEEDED(join(nullptr));
}

ComApartment::~ComApartment() {
  if (!joined_) return;
  if (const auto leave = FindSystemFunction<decltype(&CoUninitialize)>("ole32.dll", "CoUninitialize")) leave();
}
