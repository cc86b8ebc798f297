// The supervisor's identification, work-mode start and store on the virtual board: the exact log
// lines of each outcome, and the state each leaves the port and the link in.
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "supervisor/TLink_Supervisor.h"
#include "support/TRecording_Log.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

using TLines = std::vector<std::string>;

namespace {
const TLines OLD_WARNING = {"!!! WARNING !!!", "The device has an old firmware version",
                            "For correct operation you should update the device firmware to v.2.3 or higher", " "};

TLines Joined(TLines first, const TLines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

struct TRecording_View final : TSupervisor_View {
  std::optional<bool> Default_Firmware_Shown;
  bool Firmware_File_Enabled = false;
  int Panel_Updates = 0;
  void Enable_Change(bool) override {}
  void Enable_Firmware_File(bool enabled) override { Firmware_File_Enabled = enabled; }
  void Show_Default_Firmware(bool shown) override { Default_Firmware_Shown = shown; }
  bool Auto_Switch() const override { return false; }
  void Update_Visual_State() override { ++Panel_Updates; }
  void Enable_Window(bool) override {}
  TUpdate_Outcome UpdateFirmware() override { return UPDATE_WRITTEN; }
  void Forget_Default_Firmware() override {}
  void Enable_Supervisor_Timer(bool) override {}
};

// The controller object, its discovery and the supervisor on one virtual bus.
struct TLink {
  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TVOK_Yeli Controller{Bus.UsbXpress(), Clock};
  TRecording_Log Program_Log;
  TRecording_Log Control_Log;
  TDevice_Discovery Discovery{Bus.Manufacturing(), Controller, Clock, Program_Log, [] {}};
  TRecording_View View;
  bool Param_Changed = false;
  bool Config_Not_Written = true;
  TLink_Supervisor Supervisor{Controller, Discovery, View, Program_Log, Control_Log, [] {}, Param_Changed,
                              Config_Not_Written};
};

struct TIdentify_Case {
  const char* Name;
  std::optional<TSim_Factory_State> Board;  // none: nothing attached
  std::function<void(TSim_Board&)> Fault;
  bool Identified;
  TLines Program_Log;
  std::optional<bool> Default_Firmware_Shown;
};
}  // namespace

TEST(Link_Sequences, Identification_Logs_Each_Outcome) {
  const TLines connected = {"", "Conected", "Read Mem OK"};
  const TIdentify_Case cases[] = {
      {"firmware 2.3", SIM_FACTORY_USBXPRESS, nullptr, true, Joined(connected, {"Firmware version: 2.3"}), false},
      {"firmware 2.0", SIM_FACTORY_OLD, nullptr, true,
       Joined(Joined(connected, {"Firmware version: 2.0"}), OLD_WARNING), true},
      {"erased flash", SIM_FACTORY_BLANK, nullptr, true,
       Joined(connected, {"WARNING The device is not programmed, or has an old firmware version",
                          "For correct operation update the device firmware", " "}),
       true},
      {"silent bootloader", SIM_FACTORY_USBXPRESS, [](TSim_Board& b) { b.Set_Silent(true); }, false,
       {"Device is not Yeli"}, std::nullopt},
      {"version read refused", SIM_FACTORY_USBXPRESS, [](TSim_Board& b) { b.Nack_Frame(4); }, false,
       {"", "Conected", "Read Mem fail"}, std::nullopt},
      {"no bridge", std::nullopt, nullptr, false, {"Error connection"}, false},
  };
  for (const TIdentify_Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TLink link;
    if (c.Board) {
      TSim_Board& board = link.Bus.Attach(Factory_Setup(*c.Board));
      if (c.Fault) c.Fault(board);
    }
    EXPECT_EQ(link.Supervisor.Process_USB_Device(), c.Identified);
    EXPECT_EQ(link.Program_Log.Lines, c.Program_Log);
    EXPECT_EQ(link.View.Default_Firmware_Shown, c.Default_Firmware_Shown);
    EXPECT_EQ(link.View.Firmware_File_Enabled, c.Identified);
    EXPECT_EQ(link.Controller.CP_State, CP_CLOSE);
    if (c.Identified) {
      EXPECT_EQ(link.Bus.Board(0).Running(), SIM_RUN_BOOTLOADER);
    }
  }
}

TEST(Link_Sequences, Work_Mode_Start_Logs_The_Version_Or_What_Failed) {
  const std::pair<TSim_Factory_State, TLines> started[] = {
      {SIM_FACTORY_USBXPRESS, {"Firmware version: 2.3"}},
      {SIM_FACTORY_OLD, Joined({"Firmware version: 2.0"}, OLD_WARNING)},
  };
  for (const auto& [state, log] : started) {
    SCOPED_TRACE(log.front());
    TLink link;
    link.Bus.Attach(Factory_Setup(state));
    EXPECT_TRUE(link.Supervisor.Process_to_Work());
    EXPECT_EQ(link.Control_Log.Lines, log);
    EXPECT_EQ(link.Controller.CP_State, CP_ENABLED);
    EXPECT_EQ(link.Controller.VOK_State, VOK_OPEN);
    EXPECT_EQ(link.View.Panel_Updates, 1);
    EXPECT_FALSE(link.Config_Not_Written);
  }

  TLink link;
  link.Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS)).Set_Silent(true);
  EXPECT_FALSE(link.Supervisor.Process_to_Work());
  EXPECT_EQ(link.Control_Log.Lines, (TLines{"Searching Controller", "...", "Error reading config"}));
  EXPECT_EQ(link.Controller.CP_State, CP_CLOSE);
  EXPECT_EQ(link.View.Panel_Updates, 0);
}

TEST(Link_Sequences, Work_Mode_Start_Without_A_Bridge_Is_A_Connection_Error) {
  TLink link;
  EXPECT_FALSE(link.Supervisor.Process_to_Work());
  EXPECT_EQ(link.Control_Log.Lines, (TLines{"Searching Controller", "...", "Error connection"}));
  EXPECT_EQ(link.Controller.CP_State, CP_CLOSE);
}

TEST(Link_Sequences, Write_Config_Stores_The_Settings_The_Controller_Holds) {
  TLink link;
  TSim_Board& board = link.Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  ASSERT_TRUE(link.Supervisor.Process_to_Work());
  link.Controller.Prop.PWM_IN_0 = 700;
  ASSERT_TRUE(link.Controller.SetConfigIO());
  link.Controller.VOK_Action = VOK_TO_SAVE_PARAM;
  link.Supervisor.Timer1Timer();
  EXPECT_EQ(link.Control_Log.Lines.back(), "Save config to controller OK");
  EXPECT_EQ(board.Stored_Settings().at(16), 700);
  EXPECT_EQ(link.Controller.VOK_Action, VOK_NONE);
  EXPECT_EQ(link.Controller.CP_State, CP_ENABLED);

  board.Set_Silent(true);
  link.Controller.VOK_Action = VOK_TO_SAVE_PARAM;
  link.Supervisor.Timer1Timer();
  EXPECT_EQ(link.Control_Log.Lines.back(), "Error save config to controller");
  EXPECT_EQ(link.Controller.VOK_State, VOK_CHECK_USB_CONN);
  EXPECT_EQ(link.Controller.VOK_Action, VOK_TO_WORK_MODE);
}

// Requests the user makes while the link is busy elsewhere are carried out later, not lost.
namespace {
void Tick_Until(TLink& link, const std::function<bool()>& reached, int ticks = 8) {
  for (int tick = 0; !reached() && tick < ticks; ++tick) {
    link.Supervisor.Timer1Timer();
    link.Clock.Sleep(std::chrono::seconds(1));
  }
}
}  // namespace

// "Change" pressed on "Program Mode" before the tick that releases work mode.
TEST(Link_Sequences, A_Switch_Asked_For_In_Work_Mode_Is_Carried_Out_Once_The_Link_Is_Released) {
  TLink link;
  TSim_Board& board = link.Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  ASSERT_TRUE(link.Supervisor.Process_to_Work());
  link.Supervisor.Request(VOK_TO_FIRM_MODE);
  link.Supervisor.Request(VOK_TO_SWITCH_DRIVER);
  Tick_Until(link, [&] { return board.Stored_Pid() == 0xEA60; });
  EXPECT_EQ(board.Stored_Pid(), 0xEA60);
  EXPECT_EQ(link.Controller.VOK_Action, VOK_NONE);
}

// "Control Mode" waits for a bridge in virtual-COM-port mode; "Change" switches it, and work mode
// follows by itself.
TEST(Link_Sequences, A_Driver_Switch_Keeps_A_Pending_Request_For_Work_Mode) {
  TLink link;
  link.Bus.Attach(Factory_Setup(SIM_FACTORY_VCP));
  Tick_Until(link, [&] { return link.Controller.VOK_State == VOK_CHECK_VCP_CONN; });
  link.Supervisor.Request(VOK_TO_WORK_MODE);
  link.Supervisor.Timer1Timer();
  ASSERT_EQ(link.Control_Log.Lines.back(), "Device not found");
  link.Supervisor.Request(VOK_TO_SWITCH_DRIVER);
  Tick_Until(link, [&] { return link.Controller.VOK_State == VOK_OPEN; });
  EXPECT_EQ(link.Controller.VOK_State, VOK_OPEN);
}

// A bridge in USBXpress mode whose device does not answer as a controller, switched back by "Change".
TEST(Link_Sequences, Firmware_File_Stays_Off_For_A_Device_That_Is_Not_Yeli) {
  TLink link;
  link.Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS)).Set_Silent(true);
  link.Supervisor.Request(VOK_TO_SWITCH_DRIVER);
  link.Supervisor.Timer1Timer();
  EXPECT_EQ(link.Control_Log.Lines, (TLines{"Found USB device", "Device is not Yeli"}));
  EXPECT_EQ(link.Bus.Board(0).Stored_Pid(), 0xEA60);
  EXPECT_FALSE(link.View.Firmware_File_Enabled);
}
