// The fault table, firmware update: faults struck into the update the supervisor runs when the
// controller waits identified in its bootloader. The update opens a session of its own at 115200
// baud: a fault there either ends it before the erase (the flash as it was), or is healed by the
// next sync byte or by the second attempt at 38400 baud (the whole image, verified), or leaves the
// flash without a whole image, which then never identifies as the new firmware: the version stays
// erased, the "not programmed" warning shows and the log says that the update must be done again.
// Once the fault is gone the controller is identified again by itself, and the next update writes
// and verifies the whole image.
#include "TFault_Fixture.h"

using namespace std::chrono_literals;

namespace {
enum TUpdate_End { FLASH_KEPT, WRITTEN, WRITTEN_AT_38400, NO_WHOLE_IMAGE, FLASH_MAY_BE_PART_ERASED };

struct TUpdate_Fault_Case {
  const char* Name;
  TFault Fault;  // struck as the update's tick begins
  TFault Gone;
  const char* Shown;  // the program log's line, or the start of it
  TUpdate_End End;
};

// The image holds 66 blocks: 64 go first, then the vectors' block at 0x08000000, then the version's
// at 0x08003C00.
constexpr unsigned BODY_BLOCKS = 64;

// The bootloader frames of an update, in the order they are acknowledged: the session's sync (the
// first sync byte comes before the bootloader has started and is lost), Get
// and Get ID, the erase command and the global erase, three frames a block (command, address,
// data) for the 64 blocks of the body, then three for each one's read-back.
enum : unsigned { FRAME_SYNC = 1, FRAME_GET, FRAME_GET_ID, FRAME_ERASE, FRAME_GLOBAL_ERASE, FRAME_WRITE };
constexpr unsigned FRAME_WRITE_ADDRESS = FRAME_WRITE + 1, FRAME_WRITE_DATA = FRAME_WRITE + 2;
constexpr unsigned FRAME_VERIFY = FRAME_GLOBAL_ERASE + 3 * BODY_BLOCKS + 1;
// The body's 63rd block is the one at 0x08004000, after the version block's address.
constexpr unsigned FRAME_LATE_WRITE_DATA = FRAME_WRITE_DATA + 3 * 62;

// Bytes to the board: the session's two sync bytes, Get and Get ID (6), the erase's four, then the
// first block's command (2), address (5) and count.
constexpr unsigned FIRST_BLOCK_DATA_BYTE = 6 + 4 + 2 + 5 + 1 + 1;
// Bytes to the program: the answers to the sync, Get and Get ID (21), the erase's two
// acknowledgements, three for every block written, and three before the first block's read-back.
constexpr unsigned FIRST_READ_BACK_BYTE = 21 + 2 + 3 * BODY_BLOCKS + 3 + 1;

// A NACK of the block at 0x08004000 at 115200 baud, and the same block's data corrupted on the
// wire at 38400: its checksum fails and the bootloader refuses it again. Bytes to the board of the
// first attempt: 6 to connect, 4 to erase, 62 blocks, then the refused one whole (7 + 258). Of the
// second: the two sync bytes, the erase's four, 62 blocks and the refused one's command, address
// and count.
TFault Late_Block_Refused_Twice() {
  const unsigned first_attempt = 6 + 4 + 62 * 265 + 7 + 258;
  const unsigned into_second = 2 + 4 + 62 * 265 + 7 + 1 + 1;
  return [=](const TFault_Site& site) {
    site.Board().Nack_Frame(FRAME_LATE_WRITE_DATA);
    site.Board().Corrupt_Byte(SIM_TO_BOARD, first_attempt + into_second, 0x01);
  };
}

// From the start of the tick: the session's reset and its second sync byte take 70 ms, the global
// erase then runs to about 115 ms; each block is written in about 32 ms, the 64 of the body by
// about 2.2 s, and read back in about 26 ms each, by about 3.9 s.
constexpr TDuration IN_THE_ERASE = 90ms, IN_THE_SECOND_BLOCK = 160ms;
constexpr TDuration LATE_IN_THE_WRITE = 2000ms, LATE_IN_THE_READ_BACK = 3600ms;

const TUpdate_Fault_Case CASES[] = {
    // A NACK to a sync byte means a bootloader already synchronised; one that then takes no command
    // is not erased.
    {"Nack_Of_Sync", Nack(FRAME_SYNC), ONE_SHOT, "The bootloader did not answer: the firmware was not written",
     FLASH_KEPT},
    // The next sync byte then starts a command, and the one after it completes a frame the bootloader
    // refuses: it listens.
    {"Corrupted_Answer_To_The_Sync", Corrupt(SIM_TO_HOST, 1, 0x01), ONE_SHOT, "Update firmware finish", WRITTEN},
    {"Nack_Of_Erase", Nack(FRAME_ERASE), ONE_SHOT, "Chip erase fail", FLASH_KEPT},
    {"Nack_Of_Global_Erase", Nack(FRAME_GLOBAL_ERASE), ONE_SHOT, "Chip erase fail", FLASH_KEPT},
    {"Nack_Of_Write_Memory", Nack(FRAME_WRITE), ONE_SHOT, "Write firmware error at 0x08000100 (not acknowledged)",
     WRITTEN_AT_38400},
    {"Nack_Of_Write_Address", Nack(FRAME_WRITE_ADDRESS), ONE_SHOT,
     "Write firmware error at 0x08000100 (not acknowledged)", WRITTEN_AT_38400},
    {"Nack_Of_Write_Data", Nack(FRAME_WRITE_DATA), ONE_SHOT, "Write firmware error at 0x08000100 (not acknowledged)",
     WRITTEN_AT_38400},
    {"Nack_Of_Read_Back", Nack(FRAME_VERIFY), ONE_SHOT, "Verify firmware error at 0x08000100 (no answer)",
     WRITTEN_AT_38400},
    {"Nack_Of_Read_Back_Address", Nack(FRAME_VERIFY + 1), ONE_SHOT, "Verify firmware error at 0x08000100 (no answer)",
     WRITTEN_AT_38400},
    {"Nack_Of_Read_Back_Count", Nack(FRAME_VERIFY + 2), ONE_SHOT, "Verify firmware error at 0x08000100 (no answer)",
     WRITTEN_AT_38400},
    {"Nack_Of_A_Block_After_The_Version_At_Both_Rates", Late_Block_Refused_Twice(), ONE_SHOT,
     "Write firmware error at 0x08004000 (not acknowledged)", NO_WHOLE_IMAGE},
    {"Unplugged_In_The_Erase", Unplug(IN_THE_ERASE), Replug(), "Chip erase fail", FLASH_MAY_BE_PART_ERASED},
    {"Unplugged_In_A_Block_Write", Unplug(IN_THE_SECOND_BLOCK), Replug(),
     "Write firmware error at 0x08000200 (not acknowledged)", NO_WHOLE_IMAGE},
    {"Unplugged_Late_In_The_Write", Unplug(LATE_IN_THE_WRITE), Replug(), "Write firmware error at ", NO_WHOLE_IMAGE},
    {"Unplugged_Late_In_The_Read_Back", Unplug(LATE_IN_THE_READ_BACK), Replug(), "Verify firmware error at ",
     NO_WHOLE_IMAGE},
    {"No_Answer_From_The_Bootloader", Silence(true), Silence(false),
     "The bootloader did not answer: the firmware was not written", FLASH_KEPT},
    {"Corrupted_Byte_To_The_Bootloader", Corrupt(SIM_TO_BOARD, FIRST_BLOCK_DATA_BYTE), ONE_SHOT,
     "Write firmware error at 0x08000100 (not acknowledged)", WRITTEN_AT_38400},
    {"Corrupted_Byte_From_The_Bootloader", Corrupt(SIM_TO_HOST, FIRST_READ_BACK_BYTE, 0x01), ONE_SHOT,
     "Verify firmware error at 0x08000100", WRITTEN_AT_38400},
};

constexpr const char* NOT_PROGRAMMED = "WARNING The device is not programmed, or has an old firmware version";
constexpr const char* NOT_FINISHED = "The last firmware update did not finish: write the firmware again";

// Rows go by their names in test names and messages.
void PrintTo(const TUpdate_Fault_Case& row, std::ostream* out) { *out << row.Name; }

class TUpdate_Fault : public TFault_Fixture, public testing::WithParamInterface<TUpdate_Fault_Case> {
protected:
  TUpdate_Fault() : TFault_Fixture(SIM_FACTORY_USBXPRESS) {}
};
}  // namespace

TEST_P(TUpdate_Fault, Shows_Its_Line_Never_Poses_As_New_And_The_Next_Update_Writes_The_Whole_Image) {
  const TUpdate_Fault_Case& row = GetParam();
  Tick_Until_State(VOK_CHECK_USB_CONN);
  const TBytes before = Flash();
  Request_Update();
  Strike_At_Next_Tick(row.Fault);
  Tick_Until_Shown({LOG_PROGRAM, row.Shown}, 1);

  const QStringList update = Update_Lines();
  ASSERT_FALSE(update.isEmpty());
  EXPECT_EQ(update.last(), "Chip disconnect");
  const bool written = row.End == WRITTEN || row.End == WRITTEN_AT_38400;
  EXPECT_EQ(update.contains("Update firmware finish"), written) << update.join(" | ").toStdString();
  const bool written_again = row.End == WRITTEN_AT_38400 || row.End == NO_WHOLE_IMAGE;
  EXPECT_EQ(update.contains("Writing the firmware again at 38400 baud"), written_again);
  EXPECT_EQ(Controller().VOK_State, VOK_CLOSE);
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);
  EXPECT_EQ(Controller().BautRate, 38400);
  EXPECT_TRUE(Form->isEnabled());
  if (row.End == FLASH_KEPT) {
    EXPECT_EQ(Flash(), before);
  }
  if (written) {
    EXPECT_EQ(Flash_Of_Image(), Update_Image());
  }

  // Identified again, by itself once the fault is gone: a flash without the whole image never shows
  // the new version, and the log keeps saying the update must be done again.
  Strike(row.Gone);
  Tick_Until_State(VOK_CHECK_USB_CONN);
  const QStringList identified = Program_Log();
  if (row.End == NO_WHOLE_IMAGE) {
    EXPECT_FALSE(identified.contains("Firmware version: 2.5")) << identified.join(" | ").toStdString();
    EXPECT_TRUE(identified.contains(NOT_PROGRAMMED)) << identified.join(" | ").toStdString();
    EXPECT_TRUE(Form->Program.Button4->isVisible());
  }
  if (written) {
    EXPECT_TRUE(identified.contains("Firmware version: 2.5"));
  }
  // Said whenever the erase was sent and no whole image followed, whatever the flash holds now.
  const bool touched_the_flash = update.contains("Update firmware error") || update.contains("Chip erase fail");
  EXPECT_EQ(identified.contains(NOT_FINISHED), touched_the_flash) << identified.join(" | ").toStdString();

  Request_Update();
  Tick();
  EXPECT_EQ(Update_Lines().mid(3), SUCCESSFUL_UPDATE_TAIL) << Update_Lines().join(" | ").toStdString();
  EXPECT_EQ(Flash_Of_Image(), Update_Image());
  Tick_Until_State(VOK_CHECK_USB_CONN);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.5"));
  EXPECT_FALSE(Program_Log().contains(NOT_FINISHED));
}

INSTANTIATE_TEST_SUITE_P(Fault_Table, TUpdate_Fault, testing::ValuesIn(CASES));
