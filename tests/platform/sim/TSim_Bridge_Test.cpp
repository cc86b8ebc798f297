// The bridge on the bus as a Linux host sees it: what the kernel lists, how each part takes a new
// product id, and the re-enumeration after a reset.
#include "TSim_Host.h"
#include "platform/CP210x_Config.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace std::chrono_literals;

namespace {
std::string Description(TManufacturing& manufacturing, std::uint32_t index) {
  SI_DEVICE_STRING text{};
  manufacturing.Get_Product_String(index, text, SI_RETURN_DESCRIPTION);
  return Device_String_Text(text);
}

std::uint32_t Count(TSim_Bus& bus) {
  std::uint32_t count = 0;
  bus.Manufacturing().Get_Num_Devices(count);
  return count;
}

// The board's one bridge as the kernel lists it now.
TBridge Listed(TSim_Bus& bus) {
  const auto bridges = bus.Kernel().Find_Bridges();
  EXPECT_EQ(bridges->size(), 1u);
  return bridges->empty() ? TBridge{} : bridges->front();
}

struct TSwitch_Case {
  const char* Name;
  std::uint8_t Part;
  TSim_Factory_State State;
  std::uint16_t Pid;  // written
  TPid_Write_Result Result;
  std::uint16_t Stored;  // afterwards
};
}  // namespace

TEST(TSim_Bridge, The_Kernel_Lists_The_Bridges_Of_Cp210x_With_The_Chips_Own_Strings) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  bus.Attach(Factory_Setup(SIM_FACTORY_BLANK, SIM_PART_CP2104));
  TSim_Board_Setup unbound;
  unbound.Bridge = {0x1234, 0x5678, "Unbound", "", SIM_PART_CP2102};
  bus.Attach(unbound);
  bus.Attach(Factory_Setup(SIM_FACTORY_OLD, SIM_PART_CP2102N));

  ASSERT_EQ(Count(bus), 3u);
  const struct {
    const char* Product;
    const char* Description;
    const char* Usb_Path;
  } expected[] = {
      {"CP2102 USB to UART Bridge Controller", "Silicon Labs CP210x USB to UART Bridge", "1-1"},
      {"CP2104 USB to UART Bridge Controller", "USBXpress Device", "1-2"},
      {"CP2102N USB to UART Bridge Controller", "USBXpress Device", "1-4"},
  };
  for (std::uint32_t index = 0; index < 3; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(bus.Bridge(index)->Product, expected[index].Product);
    EXPECT_EQ(Description(bus.Manufacturing(), index), expected[index].Description);
    EXPECT_EQ(bus.Bridge(index)->Key.Usb_Path, expected[index].Usb_Path);
    EXPECT_EQ(bus.Serial_Device(index), "virtual:ttyUSB" + std::to_string(index));
  }
  EXPECT_EQ(bus.Bridge(0)->Serial, "0001");
  EXPECT_EQ(bus.Bridge(1)->Serial.size(), 8u);  // a CP2104's own serial number
  EXPECT_EQ(bus.Bridge(2)->Serial.size(), 32u);
  std::int32_t usb_count = 0;
  bus.UsbXpress().Get_Num_Devices(usb_count);
  EXPECT_EQ(usb_count, 3);  // the one driver serves both modes
}

// Through the same requests the program sends to real bridges.
TEST(TSim_Bridge, Each_Part_Takes_A_New_Product_Id_Its_Own_Way) {
  const TSwitch_Case cases[] = {
      {"CP2102 to USBXpress", SIM_PART_CP2102, SIM_FACTORY_VCP, 0xEA61, PID_WRITTEN, 0xEA61},
      {"CP2102 back to VCP", SIM_PART_CP2102, SIM_FACTORY_USBXPRESS, 0xEA60, PID_WRITTEN, 0xEA60},
      {"CP2104, first write", SIM_PART_CP2104, SIM_FACTORY_VCP, 0xEA61, PID_WRITTEN, 0xEA61},
      {"CP2104, second write", SIM_PART_CP2104, SIM_FACTORY_USBXPRESS, 0xEA60, PID_REFUSED, 0xEA61},
      {"CP2102N through its block", SIM_PART_CP2102N, SIM_FACTORY_VCP, 0xEA61, PID_WRITTEN, 0xEA61},
  };
  for (const TSwitch_Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TVirtual_Clock clock;
    TSim_Bus bus(clock);
    TSim_Board& board = bus.Attach(Factory_Setup(c.State, c.Part));
    const TBridge bridge = Listed(bus);
    std::uint8_t part = 0;
    ASSERT_EQ(Read_Part_Number(bus.Kernel(), bridge, part), 0);
    EXPECT_EQ(part, c.Part);
    EXPECT_EQ(Write_Product_Id(bus.Kernel(), bridge, part, c.Pid).Result, c.Result);
    EXPECT_EQ(board.Stored_Pid(), c.Stored);
  }
}

TEST(TSim_Bridge, A_CP2102N_Refuses_The_Field_Write_And_A_Block_With_A_Wrong_Checksum) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP, SIM_PART_CP2102N));
  const TBridge bridge = Listed(bus);
  EXPECT_EQ(Write_Product_Id(bus.Kernel(), bridge, SIM_PART_CP2102, 0xEA61).Result, PID_REFUSED);

  std::vector<std::uint8_t> block(CP2102N_CONFIG_SIZE);
  std::size_t moved = 0;
  ASSERT_EQ(bus.Kernel().Control(bridge, {0xC0, 0xFF, 0x000E, 0}, block, moved), 0);
  ASSERT_EQ(moved, CP2102N_CONFIG_SIZE);
  EXPECT_TRUE(CP2102N_Config_Sound(block));  // as the chip holds it
  block[15] = 0x61;                          // the product id, without a new checksum
  EXPECT_EQ(bus.Kernel().Control(bridge, {0x40, 0xFF, 0x370F, 0}, block, moved), EPIPE);
  EXPECT_EQ(board.Stored_Pid(), 0xEA60);
  CP2102N_Set_Pid(block, 0xEA61);
  EXPECT_EQ(bus.Kernel().Control(bridge, {0x40, 0xFF, 0x370F, 0}, block, moved), 0);
  EXPECT_EQ(board.Stored_Pid(), 0xEA61);
}

TEST(TSim_Bridge, A_Reset_Bridge_Comes_Back_As_A_New_Device_With_Its_Stored_Product_Id) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  TManufacturing& manufacturing = bus.Manufacturing();
  ASSERT_EQ(Count(bus), 1u);
  const TBridge before = *bus.Bridge(0);
  CP210x_HANDLE handle = 0;
  ASSERT_EQ(manufacturing.Open(0, handle), CP210x_SUCCESS);
  ASSERT_EQ(manufacturing.Set_Pid(handle, 0xEA61), CP210x_SUCCESS);
  EXPECT_EQ(board.Stored_Pid(), 0xEA61);
  EXPECT_EQ(board.Identity().Pid, 0xEA60);  // until it enumerates again

  ASSERT_EQ(manufacturing.Reset(handle), CP210x_SUCCESS);
  EXPECT_NE(manufacturing.Reset(handle), CP210x_SUCCESS);  // the device the handle named has gone
  const TDuration reset = clock.Now();
  clock.Sleep(SIM_REENUMERATION_TIME - 1ms);
  EXPECT_EQ(Count(bus), 0u);
  clock.Sleep_Until(reset + SIM_REENUMERATION_TIME);
  ASSERT_EQ(Count(bus), 1u);
  const TBridge after = *bus.Bridge(0);
  EXPECT_EQ(Description(manufacturing, 0), "USBXpress Device");
  EXPECT_EQ(after.Product, before.Product);
  EXPECT_TRUE(Same_Bridge(before, after));
  EXPECT_NE(after.Key.Address, before.Key.Address);
  EXPECT_EQ(after.Key.Tty, before.Key.Tty);  // nothing held the old tty open
}

// An open tty holds its number, so the bridge that comes back while another program still holds
// the old one is given the next: it is followed by its USB path and serial number.
TEST(TSim_Bridge, Re_Enumeration_While_The_Old_Tty_Is_Held_Gives_A_New_Tty) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_VCP, SIM_PART_CP2104));
  const TBridge before = Listed(bus);
  int error = 0;
  const auto held = bus.Kernel().Open_Shared(before, error);
  ASSERT_TRUE(held) << error;
  ASSERT_EQ(bus.Kernel().Reset_Port(before), 0);
  clock.Sleep(SIM_REENUMERATION_TIME);
  const TBridge after = Listed(bus);
  EXPECT_EQ(after.Key.Tty, "ttyUSB1");
  EXPECT_EQ(after.Node, "virtual:ttyUSB1");
  EXPECT_TRUE(Same_Bridge(before, after));
  std::uint8_t byte = 0;
  EXPECT_EQ(held->Read(&byte, 1, 10).Outcome, TRANSFER_GONE);  // the old tty hung up
}

TEST(TSim_Bridge, An_Unknown_Product_Id_Leaves_The_Bridge_Without_A_Driver) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  const TBridge bridge = Listed(bus);
  ASSERT_EQ(Write_Product_Id(bus.Kernel(), bridge, SIM_PART_CP2102, 0x1234).Result, PID_WRITTEN);
  ASSERT_EQ(bus.Kernel().Reset_Port(bridge), 0);
  clock.Sleep(2s);
  EXPECT_EQ(Count(bus), 0u);
  EXPECT_EQ(board.Identity().Pid, 0x1234);
  EXPECT_EQ(board.Identity().Product, "CP2102 USB to UART Bridge Controller");
}

TEST(TSim_Bridge, A_Reset_While_Unplugged_Comes_Back_Only_With_The_Cable) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  ASSERT_EQ(bus.Kernel().Reset_Port(Listed(bus)), 0);
  board.Unplug_At(1s);
  board.Replug_At(4s);
  clock.Sleep(3s);
  EXPECT_FALSE(board.Listed(SIM_VIEW_MANUFACTURING));
  clock.Sleep(1s);
  EXPECT_TRUE(board.Listed(SIM_VIEW_MANUFACTURING));
}
