// The update sequence against a scripted bridge: what is refused before the erase, and what each
// failure leaves in the log. Whole updates run against the virtual board.
#include "firmware/TFirmware_Update.h"
#include "support/THex_Text.h"
#include "support/TTest_Folder.h"
#include "platform/TVirtual_Clock.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

#include <fstream>

using TLines = std::vector<std::string>;

namespace {
struct TScripted_Update : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TSTM32 Chip{Usb, Clock};
  TRecording_Log Log;
  TTest_Folder Folder;
  std::filesystem::path File = Folder / "scripted_update.hex";

  TScripted_Update() {
    Usb.Products = {"USBXpress Device"};
    Chip.Erace_ = 0x43;
    Chip.W_Mem_ = 0x31;
    Chip.R_Mem_ = 0x11;
    Chip.Flash_S_ = 0x08000000;
    Chip.Flash_F_ = 0x08020000;
  }
  void Write_File(const std::string& text) { std::ofstream(File) << text; }
  TUpdate_End Update() { return Update_Firmware(Chip, Clock, File.string(), Log, nullptr); }
};

struct TRefused_File {
  const char* Name;
  std::string Text;
  const char* Problem;
};
}  // namespace

TEST_F(TScripted_Update, A_Bad_File_Is_Refused_Before_The_Erase) {
  const std::string good = Data_Records(0x08000000, Pattern(64), 16);
  const TRefused_File files[] = {
      {"checksum", good + ":10004000000102030405060708090A0B0C0D0E0F00\n" + END, "line 6: checksum mismatch"},
      {"outside flash", good + Record(0, 0x04, {0x08, 0x02}) + Record(0, 0x00, {1}) + END,
       "line 7: data at 0x08020000 to 0x08020000 lie outside the flash, 0x08000000 to 0x0801FFFF"},
      {"truncated line", good + ":1000500000010203\n" + END, "line 6: byte count 16 but 3 data bytes"},
      {"no end record", good, "line 6: no end-of-file record"},
  };
  for (const TRefused_File& file : files) {
    SCOPED_TRACE(file.Name);
    Usb.Sent.clear();
    Log.Clear();
    Write_File(file.Text);
    EXPECT_EQ(Update(), UPDATE_CHIP_RESTARTED);
    EXPECT_EQ(Log.Lines, (TLines{"Firmware file error", file.Problem, "Chip disconnect"}));
    EXPECT_TRUE(Usb.Sent.empty());  // no Erase, no byte at all
    EXPECT_EQ(Chip.CP_State, CP_CLOSE);
  }
}

TEST_F(TScripted_Update, A_Missing_File_Is_Refused_And_Named) {
  EXPECT_EQ(Update(), UPDATE_CHIP_RESTARTED);
  EXPECT_EQ(Log.Lines, (TLines{"Firmware file error", "cannot open " + File.string() + ": No such file or directory",
                               "Chip disconnect"}));
  EXPECT_TRUE(Usb.Sent.empty());
}

TEST_F(TScripted_Update, An_Erase_That_Is_Not_Acknowledged_Writes_Nothing) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  Usb.Answers = {0x79, 0x1F};
  EXPECT_EQ(Update(), UPDATE_CHIP_RESTARTED);
  EXPECT_EQ(Log.Lines, (TLines{"Chip erase fail", "Chip disconnect"}));
  EXPECT_EQ(Usb.Sent, (std::vector<std::uint8_t>{0x43, 0xBC, 0xFF, 0x00}));
}

TEST_F(TScripted_Update, Without_A_Port_Nothing_Is_Sent_And_The_Chip_Is_Not_Restarted) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  Usb.Products.clear();
  EXPECT_EQ(Update(), UPDATE_NOT_CONNECTED);
  EXPECT_EQ(Log.Lines, TLines{"Error connection"});
  Usb.Products = {"USBXpress Device"};
  Usb.Flush_Status = SI_INVALID_HANDLE;
  Log.Clear();
  EXPECT_EQ(Update(), UPDATE_NOT_CONNECTED);
  EXPECT_EQ(Log.Lines, TLines{"Error CP init"});
  EXPECT_TRUE(Usb.Sent.empty());
  EXPECT_EQ(Chip.CP_State, CP_CLOSE);
}

TEST_F(TScripted_Update, A_Block_Not_Acknowledged_Is_Reported_With_Its_Address) {
  Write_File(Data_Records(0x08000000, Pattern(600), 16) + END);
  Usb.Answers = {0x79, 0x79, 0x79, 0x79, 0x79, 0x79, 0x79, 0x1F};  // erase; block 0; block 1's data refused
  EXPECT_EQ(Update(), UPDATE_CHIP_RESTARTED);
  ASSERT_EQ(Log.Lines.size(), 6u);
  EXPECT_EQ(TLines(Log.Lines.begin(), Log.Lines.begin() + 2), (TLines{"Chip erase OK", "Update firmware"}));
  EXPECT_EQ(Log.Lines[2].find_first_not_of('.'), std::string::npos);
  EXPECT_EQ(TLines(Log.Lines.begin() + 3, Log.Lines.end()),
            (TLines{"Write firmware error at 0x08000100 (not acknowledged)", "Update firmware error", "Chip disconnect"}));
}
