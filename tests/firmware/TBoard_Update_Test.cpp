// Whole firmware updates against the virtual board, with images made by an independent tool.
#include "firmware/Firmware_Update.h"
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "support/THex_Text.h"
#include "support/TRecording_Log.h"
#include "support/TSrec_Image.h"
#include "support/TTest_Application.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <fstream>

using TBytes = std::vector<std::uint8_t>;
using TLines = std::vector<std::string>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::uint32_t FLASH_SIZE = 128 * 1024;


struct TBoard_Update : testing::Test {
  TVirtual_Clock Clock;
  TSim_Bus Bus{Clock};
  TSim_Board& Board = Bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  TSTM32 Chip{Bus.UsbXpress(), Clock};
  TRecording_Log Log;
  TTest_Folder Folder;

  // As the link supervisor leaves the chip: in its bootloader at 38400 baud, identified, the port
  // closed. The update starts a session of its own.
  void Identify() {
    ASSERT_TRUE(Chip.CP_Connect());
    Chip.CP_State = CP_BUSY;
    ASSERT_TRUE(Chip.Init_CP(LINE_8E1));
    ASSERT_TRUE(Chip.Chip_Get_Header());
    Chip.Close();
    Chip.CP_State = CP_CLOSE;
  }
  std::filesystem::path Write_File(const char* name, const std::string& text) {
    const std::filesystem::path path = Folder / name;
    std::ofstream(path) << text;
    return path;
  }
  TUpdate_Outcome Update(const std::filesystem::path& file, std::uint32_t baud = 115200) {
    Identify();
    return Update_Firmware(Chip, Clock, {file.string(), baud}, Log, nullptr).Outcome;
  }
  std::uint16_t Running_Version() { return Board.Live_Parameter(255).value_or(0); }
};
}  // namespace

TEST_F(TBoard_Update, Writes_And_Verifies_A_100_KiB_Image_Made_By_Srec_Cat) {
  const TBytes image = Application_Of_Size(2, 5, 100 * 1024);
  for (int record_size : {16, 32}) {
    SCOPED_TRACE(record_size);
    Log.Clear();
    const auto hex = Srec_Cat_Hex(image, FLASH_START, record_size, Folder / "srec_100k.hex");
    if (!hex) GTEST_SKIP() << "srec_cat (package srecord) is not installed";

    EXPECT_EQ(Update(*hex), UPDATE_WRITTEN);

    ASSERT_EQ(Log.Lines.size(), 6u);
    EXPECT_EQ(Log.Lines[0], "Chip erase OK");
    EXPECT_EQ(Log.Lines[1], "Update firmware");
    EXPECT_GT(Log.Lines[2].size(), 10u);
    EXPECT_EQ(Log.Lines[2].find_first_not_of('.'), std::string::npos);
    EXPECT_EQ(TLines(Log.Lines.begin() + 3, Log.Lines.end()),
              (TLines{"Verify firmware OK", "Update firmware finish", "Chip disconnect"}));
    EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
    EXPECT_EQ(Board.Flash(FLASH_START + static_cast<std::uint32_t>(image.size()), 64), TBytes(64, 0xFF));
    EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);
    EXPECT_EQ(Running_Version(), 0x0205);
    EXPECT_EQ(Chip.CP_State, CP_CLOSE);
  }
}

TEST_F(TBoard_Update, A_Bad_File_Leaves_The_Old_Firmware_Running) {
  const std::string good = Data_Records(FLASH_START, Application_Image(2, 7), 16);
  const std::pair<const char*, std::string> files[] = {
      {"checksum", good + ":10000000000102030405060708090A0B0C0D0E0F00\n" + END},
      {"outside flash", good + Record(0, 0x04, {0x08, 0x02}) + Record(0x10, 0x00, {1, 2}) + END},
      {"truncated line", good + ":10001000000102\n" + END},
      {"no end record", good},
  };
  const TBytes factory = Board.Flash(FLASH_START, FLASH_SIZE);
  for (const auto& [name, text] : files) {
    SCOPED_TRACE(name);
    Log.Clear();
    EXPECT_EQ(Update(Write_File("bad.hex", text)), UPDATE_BAD_FILE);
    ASSERT_EQ(Log.Lines.size(), 3u);
    EXPECT_EQ(Log.Lines[0], "Firmware file error");
    EXPECT_TRUE(Log.Lines[1].starts_with("line ")) << Log.Lines[1];
    EXPECT_EQ(Log.Lines[2], "Chip disconnect");
    EXPECT_EQ(Board.Flash(FLASH_START, FLASH_SIZE), factory);
    EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);
    EXPECT_EQ(Running_Version(), 0x0203);
  }
}

TEST_F(TBoard_Update, The_Writer_Also_Runs_On_The_Calling_Thread) {
  const TBytes image = Application_Of_Size(2, 8, 20 * 1024);
  const auto hex = Write_File("app28.hex", Data_Records(FLASH_START, image, 16) + END);
  Identify();
  ASSERT_TRUE(Chip.CP_Connect());
  Chip.CP_State = CP_BUSY;
  ASSERT_TRUE(Chip.Init_CP(LINE_8E1));
  EXPECT_FALSE(Chip.Chip_WriteFromFile((Folder / "missing.hex").string()));
  ASSERT_TRUE(Chip.Chip_Erase(1, 1, true));
  EXPECT_TRUE(Chip.Chip_WriteFromFile(hex.string()));
  EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
}

// At 1200 baud a block of 256 bytes takes 2.3 s to go out and as long to come back, longer than the
// 500 ms a read waits: the acknowledgement is awaited once the block is on the wire, and the read-back
// goes on as long as bytes keep coming.
TEST_F(TBoard_Update, Blocks_Slower_On_The_Wire_Than_The_Read_Time_Out_Are_Written_And_Verified) {
  const TBytes image = Application_Of_Size(2, 8, 20 * 1024);
  const auto hex = Write_File("app28.hex", Data_Records(FLASH_START, image, 16) + END);
  EXPECT_EQ(Update(hex, 1200), UPDATE_WRITTEN);
  EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
  EXPECT_EQ(Running_Version(), 0x0208);
}

// The image has 80 blocks: 78 without the vectors or the version go first. The session acknowledges
// the sync, Get and Get ID, then the erase's two frames, then three frames a block.
TEST_F(TBoard_Update, A_Refused_Block_Or_A_Corrupted_Read_Back_Fails_At_38400_And_Is_Written_Again_From_115200) {
  const TBytes image = Application_Of_Size(2, 6, 20 * 1024);
  const auto hex = Write_File("app.hex", Data_Records(FLASH_START, image, 16) + END);
  struct TCase {
    const char* Name;
    std::function<void()> Fault;  // set as the update begins
    const char* Shown;
  };
  const TCase cases[] = {
      {"third block's address refused", [&] { Board.Nack_Frame(3 + 2 + 2 * 3 + 2); },
       "Write firmware error at 0x08000300 (not acknowledged)"},
      // Byte 40 of the second block read back, flipped on its way to the host: after the answers to
      // the sync (1), Get (15), Get ID (5) and the erase (2), three for each block written, and the
      // first block read back.
      {"read-back corrupted",
       [&] { Board.Corrupt_Byte(SIM_TO_HOST, 1 + 15 + 5 + 2 + 78 * 3 + (3 + 256) + 3 + 41, 0x01); },
       "Verify firmware error at 0x08000228"},
  };
  for (const TCase& test : cases) {
    for (const std::uint32_t baud : {38400u, 115200u}) {
      SCOPED_TRACE(std::string(test.Name) + " at " + std::to_string(baud));
      Log.Clear();
      Identify();
      test.Fault();
      const TUpdate_Outcome outcome = Update_Firmware(Chip, Clock, {hex.string(), baud}, Log, nullptr).Outcome;
      ASSERT_GE(Log.Lines.size(), 3u);
      EXPECT_NE(std::find(Log.Lines.begin(), Log.Lines.end(), test.Shown), Log.Lines.end());
      if (baud == 38400) {
        EXPECT_EQ(outcome, UPDATE_FAILED);
        EXPECT_EQ(TLines(Log.Lines.end() - 2, Log.Lines.end()), (TLines{"Update firmware error", "Chip disconnect"}));
      } else {
        EXPECT_EQ(outcome, UPDATE_WRITTEN);
        EXPECT_EQ(TLines(Log.Lines.end() - 3, Log.Lines.end()),
                  (TLines{"Verify firmware OK", "Update firmware finish", "Chip disconnect"}));
        EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
      }
    }
  }
}
