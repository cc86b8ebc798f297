// list and mode on virtual boards, and the refusals every device command shares: no board,
// several boards, a bridge in virtual-COM-port mode, a board that does not answer.
#include "TCli_Fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
using TCli_Bridges = TCli_Fixture;

QJsonObject Json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }
}  // namespace

TEST_F(TCli_Bridges, List_Shows_Every_Bridge_With_Its_Mode_Ids_Part_And_Both_Strings) {
  Attach(SIM_FACTORY_VCP);
  Attach(SIM_FACTORY_USBXPRESS, SIM_PART_CP2104);
  ASSERT_EQ(Run_Cli({"list", "--json"}), 0);
  const QJsonArray bridges = Json(Output())["bridges"].toArray();
  ASSERT_EQ(bridges.size(), 2);
  EXPECT_EQ(bridges[0].toObject(), (QJsonObject{{"index", 0},
                                                {"mode", "vcp"},
                                                {"vid", "10c4"},
                                                {"pid", "ea60"},
                                                {"part", "CP2102"},
                                                {"serial_device", "virtual:ttyUSB0"},
                                                {"usb_path", "1-1"},
                                                {"serial_number", "0001"},
                                                {"product", "CP2102 USB to UART Bridge Controller"},
                                                {"description", "Silicon Labs CP210x USB to UART Bridge"}}));
  EXPECT_EQ(bridges[1]["mode"], "usbxpress");
  EXPECT_EQ(bridges[1]["pid"], "ea61");
  EXPECT_EQ(bridges[1]["part"], "CP2104");
  EXPECT_EQ(bridges[1]["product"], "CP2104 USB to UART Bridge Controller");
  EXPECT_EQ(bridges[1]["description"], "USBXpress Device");
  EXPECT_EQ(bridges[1]["serial_device"], "virtual:ttyUSB1");

  ASSERT_EQ(Run_Cli({"list"}), 0);
  const std::string serial = bridges[1]["serial_number"].toString().toStdString();
  EXPECT_EQ(Output(),
            "INDEX  MODE       VID:PID    PART    SERIAL DEVICE    USB  SERIAL    "
            "PRODUCT                               DESCRIPTION\n"
            "0      vcp        10c4:ea60  CP2102  virtual:ttyUSB0  1-1  0001      "
            "CP2102 USB to UART Bridge Controller  Silicon Labs CP210x USB to UART Bridge\n"
            "1      usbxpress  10c4:ea61  CP2104  virtual:ttyUSB1  1-2  " +
                serial + "  CP2104 USB to UART Bridge Controller  USBXpress Device\n");
}

TEST_F(TCli_Bridges, List_Without_Bridges_Succeeds_Empty) {
  EXPECT_EQ(Run_Cli({"list", "--json"}), 0);
  EXPECT_EQ(Json(Output())["bridges"].toArray().size(), 0);
  EXPECT_EQ(Run_Cli({"list"}), 0);
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(Errors(), "yeli-cli: list: no CP210x bridge is attached\n");
}

TEST_F(TCli_Bridges, Mode_Switches_The_Bridge_And_Waits_Until_It_Is_Back) {
  for (const std::uint8_t part : {SIM_PART_CP2102, SIM_PART_CP2102N}) {
    SCOPED_TRACE(int{part});
    TCli_Runner cli;
    TSim_Board& board = cli.Attach(SIM_FACTORY_VCP, part);
    EXPECT_EQ(cli.Run_Cli({"mode", "usbxpress"}), 0) << cli.Errors();
    EXPECT_EQ(cli.Output(), "the bridge is in usbxpress mode now, at virtual:ttyUSB0\n");
    EXPECT_EQ(board.Identity().Pid, SIM_USBXPRESS_PID);
    EXPECT_TRUE(board.Listed(SIM_VIEW_USBXPRESS));

    EXPECT_EQ(cli.Run_Cli({"mode", "usbxpress"}), 0);
    EXPECT_EQ(cli.Output(), "the bridge is in usbxpress mode already\n");
    EXPECT_EQ(cli.Run_Cli({"mode", "vcp"}), 0);
    EXPECT_EQ(board.Stored_Pid(), SIM_VCP_PID);
  }
}

// The switched bridge is the one on the same USB port with the same serial number, whatever its
// tty is called when it comes back.
TEST_F(TCli_Bridges, Mode_Follows_The_Bridge_To_Its_New_Tty) {
  TSim_Board& board = Attach(SIM_FACTORY_VCP, SIM_PART_CP2102N);
  const auto bridges = Bus.Kernel().Find_Bridges();
  int error = 0;
  const auto terminal = Bus.Kernel().Open_Shared(bridges->front(), error);  // another program holds ttyUSB0
  ASSERT_TRUE(terminal);
  EXPECT_EQ(Run_Cli({"mode", "usbxpress"}), 0) << Errors();
  EXPECT_EQ(Output(), "the bridge is in usbxpress mode now, at virtual:ttyUSB1\n");
  EXPECT_EQ(board.Stored_Pid(), SIM_USBXPRESS_PID);
}

// A CP2104's product id can be written once: the switch needs --permanent, and the way back fails
// at once with the cause.
TEST_F(TCli_Bridges, Mode_Switches_A_CP2104_Only_When_Told_It_Is_Permanent) {
  TSim_Board& board = Attach(SIM_FACTORY_VCP, SIM_PART_CP2104);
  EXPECT_EQ(Run_Cli({"mode", "usbxpress"}), 2);
  EXPECT_EQ(Errors(),
            "yeli-cli: mode: the bridge is a CP2104, whose product id can be written only once, so this switch "
            "cannot be undone: add --permanent to make it\n");
  EXPECT_EQ(board.Stored_Pid(), SIM_VCP_PID);
  EXPECT_TRUE(board.Listed(SIM_VIEW_MANUFACTURING));  // never reset

  EXPECT_EQ(Run_Cli({"mode", "usbxpress", "--permanent"}), 0) << Errors();
  EXPECT_EQ(board.Stored_Pid(), SIM_USBXPRESS_PID);
  EXPECT_EQ(Run_Cli({"mode", "vcp", "--permanent"}), 1);
  EXPECT_NE(Errors().find("yeli-cli: mode: the bridge did not take the new product id (the switch logged: The "
                          "bridge is a CP2104, whose product id can be written only once: this switch is permanent; "
                          "Change VID status: error; virtual USB device 1-1: a CP2104 keeps the product id it was "
                          "given first; its driver mode cannot be changed again; Reset Chip)"),
            std::string::npos)
      << Errors();
  EXPECT_EQ(board.Stored_Pid(), SIM_USBXPRESS_PID);
  EXPECT_EQ(Run_Cli({"list", "--permanent"}), 2);  // for mode only
}

TEST_F(TCli_Bridges, A_Bridge_That_Stays_Away_After_Its_Reset_Is_Reported) {
  TSim_Board& board = Attach(SIM_FACTORY_VCP);
  board.Unplug_At(Clock.Now() + std::chrono::milliseconds(400));  // during the switch
  EXPECT_EQ(Run_Cli({"mode", "usbxpress"}), 1);
  EXPECT_EQ(Errors(),
            "yeli-cli: mode: the bridge did not come back in usbxpress mode within 10 s (the switch logged: Change "
            "VID status: succes; Reset Chip)\n");
}

// Each refusal names the cause and what to do, before the board is reset.
TEST(Cli_Refusals, Device_Commands_Refuse_Without_Exactly_One_Bridge_In_USBXpress_Mode) {
  const std::pair<std::vector<TSim_Factory_State>, std::string> situations[] = {
      {{}, "no Yeli controller found: is it plugged in? ('yeli-cli list' shows the bridges)"},
      {{SIM_FACTORY_USBXPRESS, SIM_FACTORY_USBXPRESS},
       "several bridges are attached: remove all but the Yeli controller's, or choose with --device D or --all"},
      {{SIM_FACTORY_VCP}, "the bridge is in virtual-COM-port mode: switch it with 'yeli-cli mode usbxpress'"},
  };
  for (const auto& [boards, message] : situations) {
    TCli_Runner cli;
    for (TSim_Factory_State state : boards) cli.Attach(state);
    const std::vector<std::vector<std::string>> commands = {
        {"identify"},    {"read"}, {"save", cli.Path("a.cnf")}, {"store"}, {"reset-filter"},
        {"read-flash", cli.Path("a.bin")}};
    for (const auto& command : commands) {
      SCOPED_TRACE(command[0] + " with " + std::to_string(boards.size()) + " boards");
      EXPECT_EQ(cli.Run_Cli(command), 1);
      EXPECT_EQ(cli.Errors(), "yeli-cli: " + command[0] + ": " + message + "\n");
    }
    for (std::size_t board = 0; board < boards.size(); ++board)
      EXPECT_TRUE(cli.Bus.Board(board).Wire_Log(SIM_TO_BOARD).empty());
  }
}
