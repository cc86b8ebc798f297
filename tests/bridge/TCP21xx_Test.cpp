#include "bridge/TCP21xx.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Calls = std::vector<std::string>;

namespace {
struct TPort : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TCP21xx Port{Usb, Clock};
};
}  // namespace

TEST_F(TPort, Starts_Closed_With_Fixed_Settings) {
  EXPECT_EQ(Port.CP_State, CP_CLOSE);
  EXPECT_EQ(Port.RX_Timeout, 500);
  EXPECT_EQ(Port.TX_Timeout, 500);
  EXPECT_EQ(Port.BautRate, 38400);
  EXPECT_EQ(Port.Num, 0);
}

TEST_F(TPort, Init_CP_Opens_Configures_And_Flushes_In_Order) {
  Port.Num = 2;
  Port.CP_State = CP_BUSY;
  EXPECT_TRUE(Port.Init_CP(LINE_8E1));
  EXPECT_EQ(Port.CP_State, CP_OPEN);
  EXPECT_EQ(Usb.Calls, (Calls{"open 2", "timeouts 500 500", "baud 38400", "line 2080", "flush 1 1"}));
}

TEST_F(TPort, Opening_Again_Releases_The_Handle_A_Failed_Exchange_Left_Open) {
  Port.Init_CP(LINE_8N1);
  Port.CP_State = CP_CLOSE;  // a failed poll only marks the port closed
  Usb.Calls.clear();
  Port.Init_CP(LINE_8N1);
  EXPECT_EQ(Usb.Calls.at(0), "close");
  EXPECT_EQ(Usb.Calls.at(1), "open 0");
  Port.Close();
  Usb.Calls.clear();
  Port.Open(0);
  EXPECT_EQ(Usb.Calls, Calls{"open 0"});
}

TEST_F(TPort, Init_CP_Sees_A_Failed_Open_Through_The_Flush) {
  Usb.Open_Status = SI_DEVICE_NOT_FOUND;
  Usb.Flush_Status = SI_INVALID_HANDLE;
  Port.CP_State = CP_BUSY;
  EXPECT_FALSE(Port.Init_CP(LINE_8N1));
  EXPECT_EQ(Port.CP_State, CP_CLOSE);
}

struct TConnect_Case {
  const char* Name;
  std::vector<std::string> Products;
  SI_STATUS Count_Status;
  bool Found;
  std::uint8_t Num;  // starts as 7
};

// ctest names each case by what gtest prints of its parameter: the case's name, not its bytes.
void PrintTo(const TConnect_Case& c, std::ostream* out) { *out << c.Name; }

class TConnect : public TPort, public testing::WithParamInterface<TConnect_Case> {};

TEST_P(TConnect, Selects_The_Highest_Exact_Match) {
  const TConnect_Case& c = GetParam();
  Usb.Products = c.Products;
  Usb.Count_Status = c.Count_Status;
  Port.Num = 7;
  EXPECT_EQ(Port.CP_Connect(), c.Found);
  EXPECT_EQ(Port.Num, c.Num);
  EXPECT_EQ(Port.CP_State, c.Found ? CP_ENABLED : CP_CLOSE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TConnect,
    testing::Values(TConnect_Case{"none", {}, SI_SUCCESS, false, 7},
                    TConnect_Case{"count_fails", {"USBXpress Device"}, SI_DEVICE_IO_FAILED, false, 7},
                    TConnect_Case{"vcp_only", {"Silicon Labs CP210x USB to UART Bridge"}, SI_SUCCESS, false, 7},
                    TConnect_Case{"letter_case", {"USBXPRESS Device"}, SI_SUCCESS, false, 7},
                    TConnect_Case{"one", {"USBXpress Device"}, SI_SUCCESS, true, 0},
                    TConnect_Case{"two_matches", {"USBXpress Device", "USBXpress Device"}, SI_SUCCESS, true, 1},
                    TConnect_Case{"match_then_other", {"USBXpress Device", "Other"}, SI_SUCCESS, true, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TPort, Connect_Skips_A_Device_Whose_String_Cannot_Be_Read) {
  Usb.Products = {"USBXpress Device", "USBXpress Device"};
  Usb.Product_Statuses = {SI_SUCCESS, SI_DEVICE_IO_FAILED};
  EXPECT_TRUE(Port.CP_Connect());
  EXPECT_EQ(Port.Num, 0);
}

TEST_F(TPort, Connect_Gives_Up_After_Four_Waits_For_A_Busy_Port) {
  Usb.Products = {"USBXpress Device"};
  Port.CP_State = CP_BUSY;
  EXPECT_FALSE(Port.CP_Connect());
  EXPECT_EQ(Clock.Now(), 400ms);
  EXPECT_EQ(Port.CP_State, CP_CLOSE);
  EXPECT_TRUE(Usb.Calls.empty());
}

TEST_F(TPort, Modem_Lines_Are_Set_One_At_A_Time) {
  Port.Set_DTR(1);
  Port.Set_RTS(1);  // keeps DTR asserted
  Port.Set_DTR(0);  // keeps RTS, passed on as the setting 2
  Port.Set_RTS(0);
  EXPECT_EQ(Usb.Calls, (Calls{"modem", "flow rts=0 dtr=1", "modem", "flow rts=1 dtr=1", "modem", "flow rts=2 dtr=0",
                              "modem", "flow rts=0 dtr=0"}));
  EXPECT_EQ(Port.FlowControl, SI_MODEM_RTS);
}

TEST_F(TPort, Bytes_Travel_One_Per_Call) {
  Usb.Answers = {0x79};
  std::uint8_t byte = 0;
  EXPECT_EQ(Port.Send_Chip_Byte(0x7F), SI_SUCCESS);
  EXPECT_EQ(Port.Read_Chip_Byte(&byte), SI_SUCCESS);
  EXPECT_EQ(byte, 0x79);
  EXPECT_NE(Port.Read_Chip_Byte(&byte), SI_SUCCESS);  // nothing left: fails, byte untouched
  EXPECT_EQ(byte, 0x79);
  EXPECT_EQ(Usb.Sent, (std::vector<std::uint8_t>{0x7F}));
}
