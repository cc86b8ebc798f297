// The bridge on the bus: what each library view lists, and the re-enumeration after a product-id
// write and a reset.
#include "TSim_Host.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
struct TListing {
  std::uint32_t Manufacturing;
  std::int32_t UsbXpress;
};

TListing Listing(TSim_Bus& bus) {
  TListing listing{};
  bus.Manufacturing().Get_Num_Devices(listing.Manufacturing);
  bus.UsbXpress().Get_Num_Devices(listing.UsbXpress);
  return listing;
}

std::string Product(TManufacturing& manufacturing, std::uint32_t index) {
  SI_DEVICE_STRING text{};
  manufacturing.Get_Product_String(index, text, SI_RETURN_DESCRIPTION);
  return Device_String_Text(text);
}
}  // namespace

TEST(TSim_Bridge, Each_View_Lists_The_Bridges_Of_Its_Drivers_In_Attach_Order) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  bus.Attach(Factory_Setup(SIM_FACTORY_BLANK));
  bus.Attach({{0x10C4, 0xEA71, "CP2108 Quad USB to UART Bridge Controller", SIM_DRIVER_VCP}, {}});
  bus.Attach({{0x1234, 0x5678, "Unbound", SIM_DRIVER_NONE}, {}});
  bus.Attach(Factory_Setup(SIM_FACTORY_OLD));

  const TListing listing = Listing(bus);
  EXPECT_EQ(listing.Manufacturing, 4u);
  EXPECT_EQ(listing.UsbXpress, 2);
  EXPECT_EQ(Product(bus.Manufacturing(), 0), "Silicon Labs CP210x USB to UART Bridge");
  EXPECT_EQ(Product(bus.Manufacturing(), 1), "USBXpress Device");
  EXPECT_EQ(Product(bus.Manufacturing(), 2), "CP2108 Quad USB to UART Bridge Controller");

  SI_HANDLE usb = 0;
  ASSERT_EQ(bus.UsbXpress().Open(1, usb), SI_SUCCESS);  // the old-firmware board
  EXPECT_EQ(bus.UsbXpress().Open(2, usb), SI_DEVICE_NOT_FOUND);
  CP210x_HANDLE handle = 0;
  ASSERT_EQ(bus.Manufacturing().Open(2, handle), CP210x_SUCCESS);
  std::uint16_t vid = 0, pid = 0;
  bus.Manufacturing().Get_Device_Vid(handle, vid);
  bus.Manufacturing().Get_Device_Pid(handle, pid);
  EXPECT_EQ(vid, 0x10C4);
  EXPECT_EQ(pid, 0xEA71);
}

TEST(TSim_Bridge, A_Written_Product_Id_Takes_Effect_When_The_Reset_Bridge_Enumerates_Again) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  TManufacturing& manufacturing = bus.Manufacturing();
  CP210x_HANDLE handle = 0;
  ASSERT_EQ(manufacturing.Open(0, handle), CP210x_SUCCESS);
  ASSERT_EQ(manufacturing.Set_Pid(handle, 0xEA61), CP210x_SUCCESS);
  EXPECT_EQ(board.Stored_Pid(), 0xEA61);
  EXPECT_EQ(board.Identity().Pid, 0xEA60);  // until it enumerates again
  EXPECT_EQ(Listing(bus).UsbXpress, 0);

  ASSERT_EQ(manufacturing.Reset(handle), CP210x_SUCCESS);
  std::uint16_t pid = 0;
  EXPECT_NE(manufacturing.Get_Device_Pid(handle, pid), CP210x_SUCCESS);  // the handle went with the bridge
  EXPECT_NE(manufacturing.Close(handle), CP210x_SUCCESS);
  const TDuration reset = clock.Now();
  clock.Sleep(SIM_REENUMERATION_TIME - 1ms);
  EXPECT_EQ(Listing(bus).Manufacturing, 0u);
  clock.Sleep_Until(reset + SIM_REENUMERATION_TIME);
  EXPECT_EQ(Listing(bus).Manufacturing, 1u);
  EXPECT_EQ(Listing(bus).UsbXpress, 1);
  EXPECT_EQ(Product(manufacturing, 0), "USBXpress Device");
  EXPECT_EQ(board.Identity().Driver, SIM_DRIVER_USBXPRESS);
}

// A product id of neither mode finds no driver after the reset, so neither view lists the bridge.
TEST(TSim_Bridge, An_Unknown_Product_Id_Leaves_The_Bridge_Without_A_Driver) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  CP210x_HANDLE handle = 0;
  bus.Manufacturing().Open(0, handle);
  bus.Manufacturing().Set_Pid(handle, 0x1234);
  bus.Manufacturing().Reset(handle);
  clock.Sleep(2s);
  EXPECT_EQ(Listing(bus).Manufacturing, 0u);
  EXPECT_EQ(board.Identity().Pid, 0x1234);
  EXPECT_EQ(board.Identity().Product, "USBXpress Device");
}

TEST(TSim_Bridge, A_Reset_While_Unplugged_Comes_Back_Only_With_The_Cable) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  CP210x_HANDLE handle = 0;
  bus.Manufacturing().Open(0, handle);
  bus.Manufacturing().Reset(handle);
  board.Unplug_At(1s);
  board.Replug_At(4s);
  clock.Sleep(3s);
  EXPECT_FALSE(board.Listed(SIM_VIEW_MANUFACTURING));
  clock.Sleep(1s);
  EXPECT_TRUE(board.Listed(SIM_VIEW_MANUFACTURING));
}
