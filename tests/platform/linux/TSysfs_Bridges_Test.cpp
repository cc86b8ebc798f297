#include "bridge/TCP21xx.h"
#include "bridge/TDevice_Discovery.h"
#include "platform/TVirtual_Clock.h"
#include "TFake_Sysfs.h"
#include "platform/linux/TLinux_Bridges.h"
#include "platform/linux/TSysfs_Bridges.h"
#include "support/TRecording_Log.h"

#include <gtest/gtest.h>

namespace {
constexpr const char* VCP = "Silicon Labs CP210x USB to UART Bridge";
constexpr const char* USBXPRESS = "USBXpress Device";

const TUsb_Serial VCP_BRIDGE{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA60, VCP, 7};
const TUsb_Serial USBXPRESS_BRIDGE{"ttyUSB1", "1-10", "cp210x", 0x10C4, 0xEA61, USBXPRESS, 9};
const TUsb_Serial OTHER_ADAPTER{"ttyUSB2", "1-3", "ftdi_sio", 0x0403, 0x6001, "FT232R USB UART", 4};
const TUsb_Serial MODEM{"ttyACM0", "1-4", "cdc_acm", 0x1546, 0x01A8, "u-blox GNSS receiver", 3};
const TUsb_Serial ODD_BRIDGE{"ttyUSB3", "2-1.3", "cp210x", 0x10C4, 0xEA60, "CP2102 USB to UART Bridge Controller", 2};

struct TBridge_Search : testing::Test {
  TFake_Sysfs Tree;
  TLinux_Bridges Bridges{Tree.Sys(), Tree.Dev()};

  void Add_Every_Kind_Of_Port() {
    for (const auto& port : {USBXPRESS_BRIDGE, ODD_BRIDGE, OTHER_ADAPTER, MODEM, VCP_BRIDGE}) Tree.Add_Usb_Serial(port);
    Tree.Add_Board_Serial("ttyS0");
    Tree.Add_Virtual_Terminal("tty1");
  }
};

std::string Text(const SI_DEVICE_STRING& text) { return Device_String_Text(text); }
}  // namespace

TEST_F(TBridge_Search, Lists_Only_Ports_Served_By_Cp210x_In_Bus_Path_Order) {
  Add_Every_Kind_Of_Port();
  const auto bridges = Find_Bridges(Tree.Sys(), Tree.Dev());
  ASSERT_TRUE(bridges);
  ASSERT_EQ(bridges->size(), 3u);
  const TBridge& first = (*bridges)[0];
  EXPECT_EQ(first.Key, (TBridge_Key{"ttyUSB0", "1-2", 1, 7}));
  EXPECT_EQ(first.Node, Tree.Dev() / "ttyUSB0");
  EXPECT_EQ(first.Vid, 0x10C4);
  EXPECT_EQ(first.Pid, 0xEA60);
  EXPECT_EQ(first.Product, VCP);
  EXPECT_EQ((*bridges)[1].Key, (TBridge_Key{"ttyUSB1", "1-10", 1, 9}));  // 1-10 after 1-2
  EXPECT_EQ((*bridges)[1].Pid, 0xEA61);
  EXPECT_EQ((*bridges)[2].Key, (TBridge_Key{"ttyUSB3", "2-1.3", 2, 2}));
  EXPECT_EQ((*bridges)[2].Product, "CP2102 USB to UART Bridge Controller");
  EXPECT_EQ(Bridge_Name(first), (Tree.Dev() / "ttyUSB0").string() + " (USB 1-2)");
}

TEST_F(TBridge_Search, A_Bridge_Without_Product_String_Has_An_Empty_One) {
  TUsb_Serial bare = VCP_BRIDGE;
  bare.Product.reset();
  Tree.Add_Usb_Serial(bare);
  SI_DEVICE_STRING text;
  Set_Device_String(text, "stale");
  std::int32_t count = 0;
  ASSERT_EQ(Bridges.UsbXpress().Get_Num_Devices(count), SI_SUCCESS);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(Bridges.UsbXpress().Get_Product_String(0, text, SI_RETURN_DESCRIPTION), SI_SUCCESS);
  EXPECT_EQ(Text(text), "");
}

TEST_F(TBridge_Search, Both_Views_List_The_Same_Bridges) {
  Add_Every_Kind_Of_Port();
  std::int32_t usb_count = 0;
  std::uint32_t manufacturing_count = 0;
  ASSERT_EQ(Bridges.UsbXpress().Get_Num_Devices(usb_count), SI_SUCCESS);
  ASSERT_EQ(Bridges.Manufacturing().Get_Num_Devices(manufacturing_count), CP210x_SUCCESS);
  ASSERT_EQ(usb_count, 3);
  ASSERT_EQ(manufacturing_count, 3u);
  for (std::uint32_t index = 0; index < 3; ++index) {
    SI_DEVICE_STRING from_usb{};
    SI_DEVICE_STRING from_manufacturing{};
    EXPECT_EQ(Bridges.UsbXpress().Get_Product_String(index, from_usb, SI_RETURN_DESCRIPTION), SI_SUCCESS);
    EXPECT_EQ(Bridges.Manufacturing().Get_Product_String(index, from_manufacturing, SI_RETURN_DESCRIPTION),
              CP210x_SUCCESS);
    EXPECT_EQ(Text(from_usb), Text(from_manufacturing));
  }
  SI_DEVICE_STRING text{};
  EXPECT_EQ(Bridges.UsbXpress().Get_Product_String(3, text, SI_RETURN_DESCRIPTION), SI_DEVICE_NOT_FOUND);
  EXPECT_EQ(Bridges.Manufacturing().Get_Product_String(3, text, SI_RETURN_DESCRIPTION), CP210x_DEVICE_NOT_FOUND);
  EXPECT_EQ(Bridges.UsbXpress().Get_Product_String(0, text, 0), SI_INVALID_PARAMETER);
  EXPECT_EQ(Bridges.Manufacturing().Get_Product_String(0, text, 0), CP210x_INVALID_PARAMETER);
  EXPECT_EQ(Bridges.Serial_Device(1), (Tree.Dev() / "ttyUSB1").string());
  EXPECT_EQ(Bridges.Serial_Device(3), "");
}

TEST_F(TBridge_Search, A_Tree_Without_A_Tty_Class_Fails_The_Count) {
  std::filesystem::remove_all(Tree.Sys() / "class");
  std::int32_t usb_count = -1;
  std::uint32_t manufacturing_count = 1;
  EXPECT_NE(Bridges.UsbXpress().Get_Num_Devices(usb_count), SI_SUCCESS);
  EXPECT_NE(Bridges.Manufacturing().Get_Num_Devices(manufacturing_count), CP210x_SUCCESS);
  EXPECT_EQ(usb_count, 0);
  EXPECT_EQ(manufacturing_count, 0u);
}

// The bridge port takes the one in USBXpress mode among all bridges the USBXpress view lists.
TEST_F(TBridge_Search, The_Bridge_Port_Selects_The_Bridge_In_Usbxpress_Mode) {
  Add_Every_Kind_Of_Port();
  TVirtual_Clock clock;
  TCP21xx port(Bridges.UsbXpress(), clock);
  EXPECT_TRUE(port.CP_Connect());
  EXPECT_EQ(port.Num, 1);
  EXPECT_EQ(port.CP_State, CP_ENABLED);
}

TEST_F(TBridge_Search, Discovery_Reports_The_Identifiers_Read_From_Sysfs) {
  TUsb_Serial unknown = USBXPRESS_BRIDGE;
  unknown.Pid = 0x8A5E;
  Tree.Add_Usb_Serial(unknown);
  TVirtual_Clock clock;
  TCP21xx port(Bridges.UsbXpress(), clock);
  TRecording_Log log;
  TDevice_Discovery discovery(Bridges.Manufacturing(), port, clock, log, [] {});
  EXPECT_EQ(discovery.Search_Device(), SEARCH_USBXPRESS);
  EXPECT_EQ(log.Lines, (std::vector<std::string>{"", "Pid: 8A5E", "Vid: 10C4", "Found unknown device"}));
}

TEST_F(TBridge_Search, A_Manufacturing_Handle_Holds_Its_Bridge_Until_Closed) {
  Tree.Add_Usb_Serial(VCP_BRIDGE);
  TManufacturing& manufacturing = Bridges.Manufacturing();
  std::uint32_t count = 0;
  ASSERT_EQ(manufacturing.Get_Num_Devices(count), CP210x_SUCCESS);
  CP210x_HANDLE handle = 0;
  ASSERT_EQ(manufacturing.Open(0, handle), CP210x_SUCCESS);
  Tree.Remove(VCP_BRIDGE);
  ASSERT_EQ(manufacturing.Get_Num_Devices(count), CP210x_SUCCESS);
  EXPECT_EQ(count, 0u);
  std::uint16_t vid = 0;
  std::uint16_t pid = 0;
  EXPECT_EQ(manufacturing.Get_Device_Vid(handle, vid), CP210x_SUCCESS);
  EXPECT_EQ(manufacturing.Get_Device_Pid(handle, pid), CP210x_SUCCESS);
  EXPECT_EQ(vid, 0x10C4);
  EXPECT_EQ(pid, 0xEA60);
  EXPECT_EQ(manufacturing.Close(handle), CP210x_SUCCESS);
  EXPECT_EQ(manufacturing.Get_Device_Vid(handle, vid), CP210x_INVALID_HANDLE);
  EXPECT_EQ(manufacturing.Set_Pid(handle, 0xEA61), CP210x_INVALID_HANDLE);
  EXPECT_EQ(manufacturing.Open(0, handle), CP210x_DEVICE_NOT_FOUND);
}
