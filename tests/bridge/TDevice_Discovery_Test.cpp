#include "bridge/TDevice_Discovery.h"
#include "platform/TVirtual_Clock.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_Manufacturing.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TLines = std::vector<std::string>;

namespace {
constexpr const char* VCP = "Silicon Labs CP210x USB to UART Bridge";
constexpr const char* USBXPRESS = "USBXpress Device";

struct TDiscovery : testing::Test {
  TScripted_Manufacturing Manufacturing;
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TCP21xx Port{Usb, Clock};
  TRecording_Log Log;
  int Pumps = 0;
  TDevice_Discovery Discovery{Manufacturing, Port, Clock, Log, [this] { ++Pumps; }};
};

struct TSearch_Case {
  const char* Name;
  std::vector<TScripted_Manufacturing::TDevice> Devices;
  CP210x_STATUS Count_Status;
  int Result;
  TLines Log;
};

// ctest names each case by what gtest prints of its parameter: the case's name, not its bytes.
void PrintTo(const TSearch_Case& c, std::ostream* out) { *out << c.Name; }

class TSearch : public TDiscovery, public testing::WithParamInterface<TSearch_Case> {};
}  // namespace

TEST_P(TSearch, Tells_The_Mode_Of_The_One_Bridge) {
  Manufacturing.Devices = GetParam().Devices;
  Manufacturing.Count_Status = GetParam().Count_Status;
  EXPECT_EQ(Discovery.Search_Device(), GetParam().Result);
  EXPECT_EQ(Log.Lines, GetParam().Log);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TSearch,
    testing::Values(
        TSearch_Case{"none", {}, CP210x_SUCCESS, SEARCH_NONE, {}},
        TSearch_Case{"count_fails", {{VCP}}, CP210x_DEVICE_IO_FAILED, SEARCH_NONE, {}},
        TSearch_Case{"vcp", {{VCP, 0x10C4, 0xEA60}}, CP210x_SUCCESS, SEARCH_VCP,
                     {"", "Pid: EA60", "Vid: 10C4", "VID, PID - succes"}},
        TSearch_Case{"usbxpress", {{USBXPRESS, 0x10C4, 0xEA61}}, CP210x_SUCCESS, SEARCH_USBXPRESS,
                     {"", "Pid: EA61", "Vid: 10C4", "VID, PID - succes"}},
        TSearch_Case{"unknown_ids", {{USBXPRESS, 0x10C4, 0x1234}}, CP210x_SUCCESS, SEARCH_USBXPRESS,
                     {"", "Pid: 1234", "Vid: 10C4", "Found unknown device"}},
        TSearch_Case{"other_vendor", {{VCP, 0x0403, 0xEA60}}, CP210x_SUCCESS, SEARCH_VCP,
                     {"", "Pid: EA60", "Vid: 0403", "Found unknown device"}},
        TSearch_Case{"other_bridge", {{"CP2104 USB to UART Bridge Controller"}}, CP210x_SUCCESS, SEARCH_NONE, {}},
        TSearch_Case{"letter_case", {{"usbxpress device"}}, CP210x_SUCCESS, SEARCH_NONE, {}},
        TSearch_Case{"two", {{VCP}, {USBXPRESS}}, CP210x_SUCCESS, SEARCH_SEVERAL, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TDiscovery, Two_Devices_Are_Refused_Before_Either_Is_Opened) {
  Manufacturing.Devices = {{VCP}, {VCP}};
  Discovery.Search_Device();
  EXPECT_EQ(Manufacturing.Calls, TLines{"count"});
}

TEST_F(TDiscovery, Check_Says_Why_The_Device_Is_Gone) {
  const std::tuple<std::size_t, CP210x_STATUS, CP210x_STATUS, bool, TLines> cases[] = {
      {1, CP210x_SUCCESS, CP210x_SUCCESS, true, {}},
      {1, CP210x_DEVICE_IO_FAILED, CP210x_SUCCESS, false, {"Error get num device"}},
      {0, CP210x_SUCCESS, CP210x_SUCCESS, false, {"Device not found"}},
      {2, CP210x_SUCCESS, CP210x_SUCCESS, false, {"Device not found"}},
      {1, CP210x_SUCCESS, CP210x_DEVICE_IO_FAILED, false, {"Prodact string read error"}}};
  for (const auto& [devices, count_status, product_status, present, lines] : cases) {
    Log.Lines.clear();
    Manufacturing.Devices.assign(devices, {"anything"});
    Manufacturing.Count_Status = count_status;
    Manufacturing.Product_Status = product_status;
    EXPECT_EQ(Discovery.Check_conn(), present);
    EXPECT_EQ(Log.Lines, lines);
  }
}

TEST_F(TDiscovery, Switching_Closes_An_Open_Port_Writes_The_Id_And_Resets_The_Bridge) {
  Manufacturing.Devices = {{VCP}};
  Port.CP_State = CP_OPEN;
  Log.Add("old");
  Discovery.Change_Driver_Mode(MODE_USBXPRESS);
  EXPECT_EQ(Port.CP_State, CP_CLOSE);
  EXPECT_EQ(Usb.Calls, TLines{"close"});
  EXPECT_EQ(Manufacturing.Calls, (TLines{"open 0", "part", "set pid EA61", "reset", "close"}));
  EXPECT_EQ(Log.Lines, (TLines{"Change VID status: succes", "Reset Chip"}));
  EXPECT_EQ(Log.Clears, 1);
  EXPECT_EQ(Pumps, 1);
  EXPECT_EQ(Clock.Now(), 1300ms);
}

TEST_F(TDiscovery, A_Failed_Id_Write_Is_Reported_With_Its_Cause_And_The_Bridge_Reset_Anyway) {
  Manufacturing.Devices = {{USBXPRESS}};
  Manufacturing.Set_Pid_Status = CP210x_DEVICE_IO_FAILED;
  Manufacturing.Error_Text = "bus 1 device 4: permission denied";
  Discovery.Change_Driver_Mode(MODE_VCP);
  EXPECT_EQ(Manufacturing.Calls, (TLines{"open 0", "part", "set pid EA60", "reset", "close"}));
  EXPECT_EQ(Log.Lines, (TLines{"Change VID status: error", "bus 1 device 4: permission denied", "Reset Chip"}));
}

// A CP2104 takes its product id once: the log says so, and only a confirmed switch writes it.
TEST(TDiscovery_CP2104, Writes_Its_One_Time_Product_Id_Only_When_Confirmed) {
  const std::string permanent =
      "The bridge is a CP2104, whose product id can be written only once: this switch is permanent";
  for (const bool confirmed : {false, true}) {
    SCOPED_TRACE(confirmed);
    TScripted_Manufacturing manufacturing;
    manufacturing.Devices = {{VCP, 0x10C4, 0xEA60, 0x04}};
    TScripted_UsbXpress usb;
    TVirtual_Clock clock;
    TCP21xx port(usb, clock);
    TRecording_Log log;
    int questions = 0;
    TDevice_Discovery discovery(manufacturing, port, clock, log, [] {}, [&] {
      ++questions;
      return confirmed;
    });
    discovery.Change_Driver_Mode(MODE_USBXPRESS);
    EXPECT_EQ(questions, 1);
    if (confirmed) {
      EXPECT_EQ(manufacturing.Calls, (TLines{"open 0", "part", "set pid EA61", "reset", "close"}));
      EXPECT_EQ(log.Lines, (TLines{permanent, "Change VID status: succes", "Reset Chip"}));
    } else {
      EXPECT_EQ(manufacturing.Calls, (TLines{"open 0", "part", "close"}));
      EXPECT_EQ(log.Lines, (TLines{permanent, "Driver mode not changed"}));
    }
  }
}

TEST_F(TDiscovery, An_Unknown_Mode_Only_Clears_The_Log) {
  Discovery.Change_Driver_Mode(2);
  EXPECT_TRUE(Manufacturing.Calls.empty());
  EXPECT_EQ(Clock.Now(), 300ms);
}
