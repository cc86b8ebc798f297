// The update sequence against a scripted bridge: its own connect and the fall-back to 38400 baud,
// what is refused before the erase, what each failure leaves in the log, and the second attempt at
// 38400 baud. Whole updates run against the virtual board.
#include "firmware/Boot_Waits.h"
#include "firmware/Firmware_Update.h"
#include "platform/TVirtual_Clock.h"
#include "support/Bootloader_Script.h"
#include "support/THex_Text.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_UsbXpress.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

using TBytes = std::vector<std::uint8_t>;
using TLines = std::vector<std::string>;

namespace {
constexpr std::uint8_t ACK = 0x79;
constexpr std::uint8_t NACK = 0x1F;

struct TScripted_Update : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TSTM32 Chip{Usb, Clock};
  TRecording_Log Log;
  TTest_Folder Folder;
  std::filesystem::path File = Folder / "scripted_update.hex";

  TScripted_Update() {
    Usb.Products = {"USBXpress Device"};
    Usb.Answers = Header_Answers();
  }
  void Write_File(const std::string& text) { std::ofstream(File) << text; }
  void Answer(const TBytes& bytes) { Usb.Answers.insert(Usb.Answers.end(), bytes.begin(), bytes.end()); }
  TUpdate_Outcome Update(std::uint32_t baud = 115200) {
    return Update_Firmware(Chip, Clock, {File.string(), baud}, Log, nullptr).Outcome;
  }
  // What was sent after the sync, Get and Get ID.
  TBytes Sent_After_Connect() const {
    const auto start = std::search(Usb.Sent.begin(), Usb.Sent.end(), HEADER_REQUESTS.begin(), HEADER_REQUESTS.end());
    if (start == Usb.Sent.end()) return Usb.Sent;
    return {start + static_cast<std::ptrdiff_t>(HEADER_REQUESTS.size()), Usb.Sent.end()};
  }
  std::vector<std::string> Bauds() const {
    std::vector<std::string> bauds;
    for (const std::string& call : Usb.Calls)
      if (call.starts_with("baud")) bauds.push_back(call);
    return bauds;
  }
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
      {"missing", "", ""},
  };
  for (const TRefused_File& file : files) {
    SCOPED_TRACE(file.Name);
    Usb.Sent.clear();
    Usb.Answers = Header_Answers();
    Log.Clear();
    std::filesystem::remove(File);
    if (!file.Text.empty()) Write_File(file.Text);
    const std::string problem =
        file.Text.empty() ? "cannot open " + File.string() + ": No such file or directory" : file.Problem;
    EXPECT_EQ(Update(), UPDATE_BAD_FILE);
    EXPECT_EQ(Log.Lines, (TLines{"Firmware file error", problem, "Chip disconnect"}));
    EXPECT_EQ(Sent_After_Connect(), TBytes{});  // no Erase, no byte after the chip's identification
    EXPECT_EQ(Chip.CP_State, CP_CLOSE);
  }
}

// Several boards write the text read once: what the file holds by the time a board's chip is known
// does not count. The text here lies beyond this chip's flash while the file is good.
TEST_F(TScripted_Update, A_Text_Read_Before_Is_What_The_Chip_Is_Checked_For_Not_The_File) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  const auto text = std::make_shared<const std::string>(Record(0, 0x04, {0x08, 0x02}) + Record(0, 0x00, {1}) + END);
  EXPECT_EQ(Update_Firmware(Chip, Clock, {File.string(), 115200, nullptr, text}, Log, nullptr).Outcome,
            UPDATE_BAD_FILE);
  EXPECT_EQ(Log.Lines, (TLines{"Firmware file error",
                               "line 2: data at 0x08020000 to 0x08020000 lie outside the flash, 0x08000000 to 0x0801FFFF",
                               "Chip disconnect"}));
  EXPECT_EQ(Sent_After_Connect(), TBytes{});
}

TEST_F(TScripted_Update, An_Unknown_Chip_Is_Refused_Before_The_Erase_Whatever_Chip_Came_Before) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  Chip.Flash_S_ = 0x08000000;  // as a medium-density chip identified earlier left it
  Chip.Flash_F_ = 0x08020000;
  Usb.Answers = Header_Answers(0x13);
  EXPECT_EQ(Update(), UPDATE_UNKNOWN_CHIP);
  EXPECT_EQ(Log.Lines, (TLines{"Unknown chip (product id 0x0413): its flash is not known, nothing was erased",
                               "Chip disconnect"}));
  EXPECT_EQ(Sent_After_Connect(), TBytes{});
  EXPECT_EQ(Chip.Name_, "Unknown");
  EXPECT_EQ(Chip.Flash_F_, Chip.Flash_S_);
}

TEST_F(TScripted_Update, An_Erase_That_Is_Not_Acknowledged_Writes_Nothing) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  Answer({ACK, NACK});
  EXPECT_EQ(Update(), UPDATE_FAILED);
  EXPECT_EQ(Log.Lines, (TLines{"Chip erase fail", "Chip disconnect"}));
  EXPECT_EQ(Sent_After_Connect(), (TBytes{0x43, 0xBC, 0xFF, 0x00}));
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
  EXPECT_EQ(Chip.BautRate, 38400);
}

TEST_F(TScripted_Update, A_Chip_Silent_At_115200_Baud_Is_Connected_At_38400_And_Silent_Again_Is_Not_Erased) {
  Write_File(Data_Records(0x08000000, Pattern(64), 16) + END);
  Usb.Answers.clear();
  EXPECT_EQ(Update(), UPDATE_NO_BOOTLOADER);
  EXPECT_EQ(Log.Lines, (TLines{"No acknowledgement from the bootloader at 115200 baud: connecting at 38400 baud",
                               "The bootloader did not answer: the firmware was not written", "Chip disconnect"}));
  EXPECT_EQ(Usb.Sent, TBytes(2 * BOOT_SYNC_ATTEMPTS, 0x7F));  // the syncs at each rate, after its own reset
  EXPECT_EQ(Bauds(), (std::vector<std::string>{"baud 115200", "baud 38400"}));
  EXPECT_EQ(Chip.BautRate, 38400);
}

TEST_F(TScripted_Update, A_Block_Refused_At_115200_Baud_Is_Written_Again_From_The_Erase_At_38400) {
  const TBytes data = Pattern(600);
  Write_File(Data_Records(0x08000000, data, 16) + END);
  // The erase, then the blocks at +0x100 and +0x200 before the one with the vectors; the second's
  // data are refused.
  Answer({ACK, ACK, ACK, ACK, ACK, ACK, ACK, NACK});
  Answer({ACK});  // the sync at 38400; the codes and the memory map are known by then
  Answer({ACK, ACK});
  Answer(TBytes(6, ACK));
  for (const std::uint32_t at : {0x100u, 0x200u}) {
    Answer({ACK, ACK, ACK});
    Answer({data.begin() + at, data.begin() + std::min<std::size_t>(at + 256, data.size())});
  }
  Answer({ACK, ACK, ACK, ACK, ACK, ACK});
  Answer({data.begin(), data.begin() + 256});

  EXPECT_EQ(Update(), UPDATE_WRITTEN);
  TLines shown = Log.Lines;
  std::erase_if(shown, [](const std::string& line) { return line.find_first_not_of('.') == std::string::npos; });
  EXPECT_EQ(shown, (TLines{"Chip erase OK", "Update firmware", "Write firmware error at 0x08000200 (not acknowledged)",
                           "Writing the firmware again at 38400 baud", "Chip erase OK", "Update firmware",
                           "Verify firmware OK", "Update firmware finish", "Chip disconnect"}));
  EXPECT_EQ(Bauds(), (std::vector<std::string>{"baud 115200", "baud 38400"}));
}

TEST_F(TScripted_Update, A_Block_Refused_At_38400_Baud_Is_Reported_With_Its_Address_And_Not_Tried_Again) {
  Write_File(Data_Records(0x08000000, Pattern(600), 16) + END);
  Answer({ACK, ACK, ACK, ACK, ACK, ACK, ACK, NACK});  // erase; block +0x100; block +0x200's data refused
  EXPECT_EQ(Update(38400), UPDATE_FAILED);
  ASSERT_EQ(Log.Lines.size(), 6u);
  EXPECT_EQ(TLines(Log.Lines.begin(), Log.Lines.begin() + 2), (TLines{"Chip erase OK", "Update firmware"}));
  EXPECT_EQ(Log.Lines[2].find_first_not_of('.'), std::string::npos);
  EXPECT_EQ(TLines(Log.Lines.begin() + 3, Log.Lines.end()),
            (TLines{"Write firmware error at 0x08000200 (not acknowledged)", "Update firmware error", "Chip disconnect"}));
}

namespace {
// A bridge library that throws in the middle of the writing, as a broken driver layer might.
class TThrowing_UsbXpress final : public TUsbXpress {
public:
  explicit TThrowing_UsbXpress(TScripted_UsbXpress& usb) : Usb_(usb) {}
  std::size_t Writes_Before_Throw = SIZE_MAX;

  SI_STATUS Get_Num_Devices(std::int32_t& count) override { return Usb_.Get_Num_Devices(count); }
  SI_STATUS Get_Product_String(std::uint32_t index, SI_DEVICE_STRING& text, std::uint32_t option) override {
    return Usb_.Get_Product_String(index, text, option);
  }
  SI_STATUS Open(std::uint32_t index, SI_HANDLE& handle) override { return Usb_.Open(index, handle); }
  SI_STATUS Close(SI_HANDLE handle) override { return Usb_.Close(handle); }
  SI_STATUS Read(SI_HANDLE handle, std::uint8_t* dest, std::uint32_t count, std::uint32_t& read) override {
    return Usb_.Read(handle, dest, count, read);
  }
  SI_STATUS Write(SI_HANDLE handle, const std::uint8_t* src, std::uint32_t count, std::uint32_t& written) override {
    if (Usb_.Sent.size() >= Writes_Before_Throw) throw std::runtime_error("the bridge went away");
    return Usb_.Write(handle, src, count, written);
  }
  SI_STATUS Flush_Buffers(SI_HANDLE handle, std::uint8_t transmit, std::uint8_t receive) override {
    return Usb_.Flush_Buffers(handle, transmit, receive);
  }
  SI_STATUS Set_Timeouts(std::uint32_t read, std::uint32_t write) override { return Usb_.Set_Timeouts(read, write); }
  SI_STATUS Set_Baud_Rate(SI_HANDLE handle, std::uint32_t baud) override { return Usb_.Set_Baud_Rate(handle, baud); }
  SI_STATUS Set_Line_Control(SI_HANDLE handle, std::uint16_t line) override {
    return Usb_.Set_Line_Control(handle, line);
  }
  SI_STATUS Set_Flow_Control(SI_HANDLE handle, std::uint8_t cts, std::uint8_t rts, std::uint8_t dtr, std::uint8_t dsr,
                             std::uint8_t dcd, std::uint8_t xon_xoff) override {
    return Usb_.Set_Flow_Control(handle, cts, rts, dtr, dsr, dcd, xon_xoff);
  }
  SI_STATUS Get_Modem_Status(SI_HANDLE handle, std::uint8_t& status) override {
    return Usb_.Get_Modem_Status(handle, status);
  }
  std::string Last_Error() const override { return {}; }

private:
  TScripted_UsbXpress& Usb_;
};
}  // namespace

// The worker catches it: the update is reported as not written, the chip restarted, the port closed,
// and there is no second attempt for a writer that failed in itself.
TEST_F(TScripted_Update, An_Exception_In_The_Writer_Ends_The_Update_As_Not_Written) {
  TThrowing_UsbXpress usb(Usb);
  TSTM32 chip(usb, Clock);
  Write_File(Data_Records(0x08000000, Pattern(600), 16) + END);
  Answer({ACK, ACK, ACK, ACK, ACK, ACK});  // the erase, the first block and the second one's command
  usb.Writes_Before_Throw = HEADER_REQUESTS.size() + 4 + 265 + 2 + 1;  // in the second block's address
  EXPECT_EQ(Update_Firmware(chip, Clock, {File.string(), 115200}, Log, nullptr).Outcome, UPDATE_FAILED);
  ASSERT_GE(Log.Lines.size(), 3u);
  EXPECT_EQ(TLines(Log.Lines.end() - 3, Log.Lines.end()),
            (TLines{"The firmware writer failed: the bridge went away", "Update firmware error", "Chip disconnect"}));
  EXPECT_EQ(chip.CP_State, CP_CLOSE);
  EXPECT_EQ(Usb.Calls.back(), "close");
}
