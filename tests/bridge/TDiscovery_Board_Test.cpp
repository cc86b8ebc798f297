// Switching a virtual board's driver mode: the bridge leaves the bus and comes back in its new mode.
#include "bridge/TDevice_Discovery.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "support/TRecording_Log.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TLines = std::vector<std::string>;

TEST(TDiscovery_Board, A_Switched_Bridge_Is_Found_In_Its_New_Mode_After_Re_Enumeration) {
  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board& board = bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  TCP21xx port(bus.UsbXpress(), clock);
  TRecording_Log log;
  TDevice_Discovery discovery(bus.Manufacturing(), port, clock, log, [] {});

  EXPECT_EQ(discovery.Search_Device(), SEARCH_VCP);
  EXPECT_FALSE(port.CP_Connect());  // not in USBXpress mode

  discovery.Change_Driver_Mode(MODE_USBXPRESS);
  EXPECT_EQ(log.Lines, (TLines{"Change VID status: succes", "Reset Chip"}));
  EXPECT_EQ(clock.Now(), 1300ms);
  EXPECT_EQ(board.Stored_Pid(), 0xEA61);
  EXPECT_EQ(discovery.Search_Device(), SEARCH_NONE);  // still re-enumerating

  clock.Sleep(1000ms);
  log.Lines.clear();
  EXPECT_EQ(discovery.Search_Device(), SEARCH_USBXPRESS);
  EXPECT_EQ(log.Lines, (TLines{"", "Pid: EA61", "Vid: 10C4", "VID, PID - succes"}));
  EXPECT_TRUE(port.CP_Connect());
}
