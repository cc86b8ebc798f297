#include "bridge/TCP21xx.h"
#include "bridge/TDevice_Discovery.h"
#include "platform/TVirtual_Clock.h"
#include "platform/linux/Sysfs_Bridges.h"
#include "platform/linux/TLinux_Bridges.h"
#include "support/TFake_Sysfs.h"
#include "support/TRecording_Log.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {
constexpr const char* VCP = "Silicon Labs CP210x USB to UART Bridge";
constexpr const char* USBXPRESS = "USBXpress Device";

// Factory chips report their own string in either mode; only the product id tells the mode.
const TUsb_Serial VCP_BRIDGE{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA60, CP2102_PRODUCT, 7};
const TUsb_Serial USBXPRESS_BRIDGE{"ttyUSB1", "1-10", "cp210x", 0x10C4, 0xEA61, CP2102_PRODUCT, 9, "0001"};
const TUsb_Serial OTHER_ADAPTER{"ttyUSB2", "1-3", "ftdi_sio", 0x0403, 0x6001, "FT232R USB UART", 4, "A50285BI"};
const TUsb_Serial CH340{"ttyUSB4", "1-5", "ch341", 0x1A86, 0x7523, "USB Serial", 6, ""};
const TUsb_Serial MODEM{"ttyACM0", "1-4", "cdc_acm", 0x1546, 0x01A8, "u-blox GNSS receiver", 3};
const TUsb_Serial DUAL_BRIDGE{"ttyUSB3", "2-1.3", "cp210x", 0x10C4, 0xEA70, "CP2105 Dual USB to UART Bridge Controller",
                              2, "00A1B2C3"};

struct TBridge_Search : testing::Test {
  TFake_Sysfs Tree;
  TLinux_Bridges Bridges{{Tree.Sys(), Tree.Dev()}};

  void Add_Every_Kind_Of_Port() {
    for (const auto& port : {USBXPRESS_BRIDGE, DUAL_BRIDGE, OTHER_ADAPTER, CH340, MODEM, VCP_BRIDGE})
      Tree.Add_Usb_Serial(port);
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
  EXPECT_EQ(first.Product, CP2102_PRODUCT);
  EXPECT_EQ(first.Serial, "0001");
  EXPECT_EQ((*bridges)[1].Key, (TBridge_Key{"ttyUSB1", "1-10", 1, 9}));  // 1-10 after 1-2
  EXPECT_EQ((*bridges)[1].Pid, 0xEA61);
  EXPECT_EQ((*bridges)[2].Key, (TBridge_Key{"ttyUSB3", "2-1.3", 2, 2}));
  EXPECT_EQ((*bridges)[2].Serial, "00A1B2C3");
  EXPECT_EQ(Bridge_Name(first), (Tree.Dev() / "ttyUSB0").string() + " (USB 1-2)");
}

// The libraries' names are those of the drivers for 10c4:ea60 and 10c4:ea61, whatever the chip says
// of itself; a bridge of another kind keeps its own string and so counts as neither mode.
TEST_F(TBridge_Search, Both_Views_Name_A_Bridge_By_Its_Ids) {
  const struct {
    TUsb_Serial Port;
    const char* Description;
  } cases[] = {
      {VCP_BRIDGE, VCP},
      {USBXPRESS_BRIDGE, USBXPRESS},
      {{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA60, "CP2104 USB to UART Bridge Controller", 7}, VCP},
      {{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA61, std::nullopt, 7}, USBXPRESS},
      {DUAL_BRIDGE, "CP2105 Dual USB to UART Bridge Controller"},
      {{"ttyUSB0", "1-2", "cp210x", 0x2626, 0xEA60, "Aruba console", 7}, "Aruba console"},
      {{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA70, std::nullopt, 7}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Description);
    TFake_Sysfs tree;
    tree.Add_Usb_Serial(c.Port);
    TLinux_Bridges bridges({tree.Sys(), tree.Dev()});
    std::int32_t usb_count = 0;
    std::uint32_t manufacturing_count = 0;
    ASSERT_EQ(bridges.UsbXpress().Get_Num_Devices(usb_count), SI_SUCCESS);
    ASSERT_EQ(bridges.Manufacturing().Get_Num_Devices(manufacturing_count), CP210x_SUCCESS);
    ASSERT_EQ(usb_count, 1);
    SI_DEVICE_STRING from_usb;
    SI_DEVICE_STRING from_manufacturing;
    Set_Device_String(from_usb, "stale");
    ASSERT_EQ(bridges.UsbXpress().Get_Product_String(0, from_usb, SI_RETURN_DESCRIPTION), SI_SUCCESS);
    ASSERT_EQ(bridges.Manufacturing().Get_Product_String(0, from_manufacturing, SI_RETURN_DESCRIPTION), CP210x_SUCCESS);
    EXPECT_EQ(Device_String_Text(from_usb), c.Description);
    EXPECT_EQ(Device_String_Text(from_manufacturing), c.Description);
  }
}

// What failed on real hardware while the chip's string was taken for the driver's: a factory chip in
// either mode is found in that mode, and the bridge port opens it only in USBXpress mode.
TEST_F(TBridge_Search, A_Factory_Chip_Is_Found_In_The_Mode_Of_Its_Product_Id) {
  const std::pair<TUsb_Serial, int> cases[] = {{VCP_BRIDGE, SEARCH_VCP}, {USBXPRESS_BRIDGE, SEARCH_USBXPRESS}};
  for (const auto& [port, mode] : cases) {
    TFake_Sysfs tree;
    tree.Add_Usb_Serial(port);
    tree.Add_Usb_Serial(CH340);  // not a bridge of this program: not counted as a second device
    TLinux_Bridges bridges({tree.Sys(), tree.Dev()});
    TVirtual_Clock clock;
    TCP21xx bridge_port(bridges.UsbXpress(), clock);
    TRecording_Log log;
    TDevice_Discovery discovery(bridges.Manufacturing(), bridge_port, clock, log, [] {});
    EXPECT_EQ(discovery.Search_Device(), mode);
    const char* pid = mode == SEARCH_VCP ? "Pid: EA60" : "Pid: EA61";
    EXPECT_EQ(log.Lines, (std::vector<std::string>{"", pid, "Vid: 10C4", "VID, PID - succes"}));
    EXPECT_EQ(bridge_port.CP_Connect(), mode == SEARCH_USBXPRESS);
  }
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

// A folder that cannot be read and links that lead nowhere end the walk or skip the entry; they
// never escape as an exception.
TEST_F(TBridge_Search, Broken_Trees_Never_Throw) {
  Tree.Add_Usb_Serial(VCP_BRIDGE);
  std::filesystem::create_symlink("loop", Tree.Sys() / "class" / "tty" / "loop");
  std::filesystem::create_directory_symlink(Tree.Sys() / "nowhere", Tree.Sys() / "class" / "tty" / "ttyUSB9");
  std::optional<std::vector<TBridge>> bridges;
  EXPECT_NO_THROW(bridges = Find_Bridges(Tree.Sys(), Tree.Dev()));
  ASSERT_TRUE(bridges);
  EXPECT_EQ(bridges->size(), 1u);

  std::filesystem::remove_all(Tree.Sys() / "class" / "tty");
  std::ofstream(Tree.Sys() / "class" / "tty") << "not a folder";
  EXPECT_NO_THROW(bridges = Find_Bridges(Tree.Sys(), Tree.Dev()));
  EXPECT_FALSE(bridges);
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
