// The port-arrival record, read without a window: only as far as its own size says, and only a
// COM port's.
#include "app/Utils.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstring>

namespace {

TEST(ArrivedPort, ReadsAPortsNameNoFurtherThanItsRecord) {
  constexpr DWORD kFull = sizeof(DEV_BROADCAST_PORT_A) + 8;
  constexpr DWORD kNameAt = offsetof(DEV_BROADCAST_PORT_A, dbcp_name);
  const struct {
    const char* what;
    WPARAM event;
    DWORD size, type;
    const char* name;
    int port;
  } cases[] = {
      {"COM8 arrives", DBT_DEVICEARRIVAL, kFull, DBT_DEVTYP_PORT, "COM8", 8},
      {"any case, above 9", DBT_DEVICEARRIVAL, kFull, DBT_DEVTYP_PORT, "com12", 12},
      {"the name ends where the record does", DBT_DEVICEARRIVAL, kNameAt + 4, DBT_DEVTYP_PORT, "COM85", 8},
      {"a port that goes", DBT_DEVICEREMOVECOMPLETE, kFull, DBT_DEVTYP_PORT, "COM8", 0},
      {"a printer port", DBT_DEVICEARRIVAL, kFull, DBT_DEVTYP_PORT, "LPT1", 0},
      {"another kind of device", DBT_DEVICEARRIVAL, kFull, DBT_DEVTYP_VOLUME, "COM8", 0},
      {"a header cut short", DBT_DEVICEARRIVAL, sizeof(DWORD), DBT_DEVTYP_PORT, "COM8", 0},
      {"no name at all", DBT_DEVICEARRIVAL, kNameAt, DBT_DEVTYP_PORT, "COM8", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    struct {
      DEV_BROADCAST_PORT_A port;
      char rest[8];
    } record{};
    record.port.dbcp_size = c.size;
    record.port.dbcp_devicetype = c.type;
    std::strcpy(record.port.dbcp_name, c.name);
    EXPECT_EQ(ArrivedPort(c.event, reinterpret_cast<LPARAM>(&record)), c.port);
  }
  EXPECT_EQ(ArrivedPort(DBT_DEVICEARRIVAL, 0), 0);
}

}  // namespace
