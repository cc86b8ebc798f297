// The fault table, firmware update: faults struck into the update the supervisor runs when the
// controller waits identified in its bootloader. Each row shows its line and never reports the
// update done; the flash is left as it was unless the fault came after the erase, where it may
// hold part of the image. Once the fault is gone the controller is identified again by itself, and
// the next update writes and verifies the whole image.
#include "TFault_Fixture.h"

using namespace std::chrono_literals;

namespace {
enum TFlash_After { FLASH_KEPT, FLASH_MAY_BE_PART_WRITTEN };

struct TUpdate_Fault_Case {
  const char* Name;
  TFault Fault;  // struck as the update's tick begins
  TFault Gone;
  const char* Shown;  // the program log's line
  TFlash_After Flash;
};

// The bootloader frames of an update, in the order they are acknowledged: the erase command and the
// global erase, three frames a block (command, address, data), then three for each block's read-back.
enum : unsigned { FRAME_ERASE = 1, FRAME_GLOBAL_ERASE, FRAME_WRITE, FRAME_WRITE_ADDRESS, FRAME_WRITE_DATA };
const unsigned FRAME_VERIFY = FRAME_GLOBAL_ERASE + 3 * Update_Image_Blocks() + 1;

// Bytes to the board: the erase's four, then the first block's command (2), address (5) and count.
constexpr unsigned FIRST_BLOCK_DATA_BYTE = 4 + 2 + 5 + 1 + 1;
// Bytes to the program: the erase's two acknowledgements, three for every block written, and three
// before the first block's read-back.
const unsigned FIRST_READ_BACK_BYTE = 2 + 3 * Update_Image_Blocks() + 3 + 1;

// From the start of the tick: the global erase is under way from about 1 ms to 41 ms; each block
// then takes about 86 ms.
constexpr TDuration IN_THE_ERASE = 10ms, IN_THE_SECOND_BLOCK = 200ms;

const TUpdate_Fault_Case CASES[] = {
    {"Nack_Of_Erase", Nack(FRAME_ERASE), ONE_SHOT, "Chip erase fail", FLASH_KEPT},
    {"Nack_Of_Global_Erase", Nack(FRAME_GLOBAL_ERASE), ONE_SHOT, "Chip erase fail", FLASH_KEPT},
    {"Nack_Of_Write_Memory", Nack(FRAME_WRITE), ONE_SHOT, "Write firmware error at 0x08000000 (not acknowledged)",
     FLASH_MAY_BE_PART_WRITTEN},
    {"Nack_Of_Write_Address", Nack(FRAME_WRITE_ADDRESS), ONE_SHOT,
     "Write firmware error at 0x08000000 (not acknowledged)", FLASH_MAY_BE_PART_WRITTEN},
    {"Nack_Of_Write_Data", Nack(FRAME_WRITE_DATA), ONE_SHOT, "Write firmware error at 0x08000000 (not acknowledged)",
     FLASH_MAY_BE_PART_WRITTEN},
    {"Nack_Of_Read_Back", Nack(FRAME_VERIFY), ONE_SHOT, "Verify firmware error at 0x08000000 (no answer)",
     FLASH_MAY_BE_PART_WRITTEN},
    {"Nack_Of_Read_Back_Address", Nack(FRAME_VERIFY + 1), ONE_SHOT, "Verify firmware error at 0x08000000 (no answer)",
     FLASH_MAY_BE_PART_WRITTEN},
    {"Nack_Of_Read_Back_Count", Nack(FRAME_VERIFY + 2), ONE_SHOT, "Verify firmware error at 0x08000000 (no answer)",
     FLASH_MAY_BE_PART_WRITTEN},
    {"Unplugged_In_The_Erase", Unplug(IN_THE_ERASE), Replug(), "Chip erase fail", FLASH_MAY_BE_PART_WRITTEN},
    {"Unplugged_In_A_Block_Write", Unplug(IN_THE_SECOND_BLOCK), Replug(),
     "Write firmware error at 0x08000100 (not acknowledged)", FLASH_MAY_BE_PART_WRITTEN},
    {"No_Answer_To_The_Erase", Silence(true), Silence(false), "Chip erase fail", FLASH_MAY_BE_PART_WRITTEN},
    {"Corrupted_Byte_To_The_Bootloader", Corrupt(SIM_TO_BOARD, FIRST_BLOCK_DATA_BYTE), ONE_SHOT,
     "Write firmware error at 0x08000000 (not acknowledged)", FLASH_MAY_BE_PART_WRITTEN},
    {"Corrupted_Byte_From_The_Bootloader", Corrupt(SIM_TO_HOST, FIRST_READ_BACK_BYTE, 0x01), ONE_SHOT,
     "Verify firmware error at 0x08000000", FLASH_MAY_BE_PART_WRITTEN},
};

// Rows go by their names in test names and messages.
void PrintTo(const TUpdate_Fault_Case& row, std::ostream* out) { *out << row.Name; }

class TUpdate_Fault : public TFault_Fixture, public testing::WithParamInterface<TUpdate_Fault_Case> {
protected:
  TUpdate_Fault() : TFault_Fixture(SIM_FACTORY_USBXPRESS) {}
};
}  // namespace

TEST_P(TUpdate_Fault, Shows_Its_Line_And_The_Next_Update_Writes_The_Whole_Image) {
  const TUpdate_Fault_Case& row = GetParam();
  Tick_Until_State(VOK_CHECK_USB_CONN);
  const TBytes before = Flash();
  Request_Update();
  Strike_At_Next_Tick(row.Fault);
  Tick_Until_Shown({LOG_PROGRAM, row.Shown}, 1);

  const QStringList failed = Update_Lines();
  EXPECT_FALSE(failed.contains("Update firmware finish")) << failed.join(" | ").toStdString();
  EXPECT_EQ(failed.last(), "Chip disconnect");
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);
  EXPECT_TRUE(Form->isEnabled());
  if (row.Flash == FLASH_KEPT) {
    EXPECT_EQ(Flash(), before);
  }

  Strike(row.Gone);
  Tick_Until_State(VOK_CHECK_USB_CONN);
  Request_Update();
  Tick();
  EXPECT_EQ(Update_Lines().mid(3), SUCCESSFUL_UPDATE_TAIL) << Update_Lines().join(" | ").toStdString();
  EXPECT_EQ(Flash_Of_Image(), Update_Image());
  Tick_Until_State(VOK_CHECK_USB_CONN);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.5"));
}

INSTANTIATE_TEST_SUITE_P(Fault_Table, TUpdate_Fault, testing::ValuesIn(CASES));
