// The fault table, Program Mode side: faults while the link supervisor searches for the controller,
// watches a bridge in virtual-COM-port mode, or identifies the controller through its bootloader,
// or while the controller waits identified. Each row shows its line, and once the fault is gone
// the supervisor finds and identifies the controller again by itself, with nothing on the board
// changed.
#include "TFault_Fixture.h"

using namespace std::chrono_literals;

namespace {
struct TLink_Fault_Case {
  const char* Name;
  TSim_Factory_State Board;
  TVOKState Struck_In;  // VOK_CLOSE: before the first search, which identifies a USBXpress board
  TFault Fault;
  TFault Gone;
  TExpected_Line Shown;
};

// The frames of an identification, in the order the bootloader acknowledges them.
enum : unsigned { FRAME_SYNC = 1, FRAME_GET, FRAME_GET_ID, FRAME_READ, FRAME_READ_ADDRESS, FRAME_READ_COUNT };
// The bytes of an identification: to the board 0x7F, then Get's code and its complement.
constexpr unsigned GET_COMPLEMENT = 3;
constexpr unsigned SYNC_ACK = 1;

const TExpected_Line NOT_FOUND{LOG_PROGRAM, "Device not found"};
const TExpected_Line SEVERAL{LOG_PROGRAM, "Remove all usb devices except for Yeli controller!"};
const TExpected_Line NOT_YELI{LOG_PROGRAM, "Device is not Yeli"};
const TExpected_Line NO_VERSION{LOG_PROGRAM, "Read Mem fail"};

const TLink_Fault_Case CASES[] = {
    {"Unplugged_While_Searching", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Unplug(), Replug(), NOT_FOUND},
    {"Unplugged_In_Virtual_COM_Port_Mode", SIM_FACTORY_VCP, VOK_CHECK_VCP_CONN, Unplug(), Replug(), NOT_FOUND},
    {"Unplugged_While_Identified", SIM_FACTORY_USBXPRESS, VOK_CHECK_USB_CONN, Unplug(), Replug(), NOT_FOUND},
    {"Second_Board_While_Searching", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Attach_Second_Board(SIM_FACTORY_USBXPRESS),
     Unplug_Second_Board(), SEVERAL},
    {"Second_Board_In_Virtual_COM_Port_Mode", SIM_FACTORY_VCP, VOK_CHECK_VCP_CONN,
     Attach_Second_Board(SIM_FACTORY_VCP), Unplug_Second_Board(), SEVERAL},
    {"Second_Board_While_Identified", SIM_FACTORY_USBXPRESS, VOK_CHECK_USB_CONN,
     Attach_Second_Board(SIM_FACTORY_VCP), Unplug_Second_Board(), SEVERAL},
    {"No_Answer_From_The_Bootloader", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Silence(true), Silence(false), NOT_YELI},
    {"Nack_Of_Sync", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_SYNC), ONE_SHOT, NOT_YELI},
    {"Nack_Of_Get", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_GET), ONE_SHOT, NOT_YELI},
    {"Nack_Of_Get_ID", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_GET_ID), ONE_SHOT, NOT_YELI},
    {"Nack_Of_Read_Memory", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_READ), ONE_SHOT, NO_VERSION},
    {"Nack_Of_Read_Memory_Address", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_READ_ADDRESS), ONE_SHOT, NO_VERSION},
    {"Nack_Of_Read_Memory_Count", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Nack(FRAME_READ_COUNT), ONE_SHOT, NO_VERSION},
    {"Corrupted_Byte_To_The_Bootloader", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Corrupt(SIM_TO_BOARD, GET_COMPLEMENT),
     ONE_SHOT, NOT_YELI},
    {"Corrupted_Byte_From_The_Bootloader", SIM_FACTORY_USBXPRESS, VOK_CLOSE, Corrupt(SIM_TO_HOST, SYNC_ACK),
     ONE_SHOT, NOT_YELI},
};

// Rows go by their names in test names and messages.
void PrintTo(const TLink_Fault_Case& row, std::ostream* out) { *out << row.Name; }

class TLink_Fault : public TFault_Fixture, public testing::WithParamInterface<TLink_Fault_Case> {
protected:
  TLink_Fault() : TFault_Fixture(GetParam().Board) {}
  TVOKState Found_State() const {
    return GetParam().Board == SIM_FACTORY_VCP ? VOK_CHECK_VCP_CONN : VOK_CHECK_USB_CONN;
  }
};
}  // namespace

TEST_P(TLink_Fault, Shows_Its_Line_And_The_Link_Recovers_By_Itself) {
  const TLink_Fault_Case& row = GetParam();
  const TBytes flash = Flash();
  const TSim_Settings stored = Stored();
  const std::uint16_t pid = Board.Stored_Pid();
  if (row.Struck_In != VOK_CLOSE) Tick_Until_State(row.Struck_In);

  Strike(row.Fault);
  Tick_Until_Shown(row.Shown);
  EXPECT_NE(Controller().VOK_State, Found_State());
  Strike(row.Gone);
  Tick_Until_State(Found_State());
  if (Found_State() == VOK_CHECK_USB_CONN) {
    EXPECT_TRUE(Program_Log().contains("Firmware version: 2.3")) << Program_Log().join(" | ").toStdString();
    EXPECT_TRUE(Form->Program.Button2->isEnabled());
  } else {
    EXPECT_EQ(Program_Log(), (QStringList{"Found VCP device", "Connect to VCP device"}));
  }
  EXPECT_EQ(Flash(), flash);
  EXPECT_EQ(Stored(), stored);
  EXPECT_EQ(Board.Stored_Pid(), pid);
  EXPECT_TRUE(Only_The_Controller_Heard_Us());
}

INSTANTIATE_TEST_SUITE_P(Fault_Table, TLink_Fault, testing::ValuesIn(CASES));
