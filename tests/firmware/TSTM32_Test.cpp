// Byte-exact exchanges with a scripted bridge; the virtual board's tests cover the real dialogue.
#include "firmware/Boot_Waits.h"
#include "firmware/TSTM32.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TBytes = std::vector<std::uint8_t>;

namespace {
// The answer of an STM32F1 bootloader to Get: count, version 2.2 and the published command codes.
const TBytes GET_ANSWER = {0x79, 0x0B, 0x22, 0x00, 0x01, 0x02, 0x11, 0x21, 0x31, 0x43, 0x63, 0x73, 0x82, 0x92, 0x79};

struct TBootloader : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TSTM32 Chip{Usb, Clock};

  void Answer(const TBytes& bytes) { Usb.Answers.insert(Usb.Answers.end(), bytes.begin(), bytes.end()); }
  void Learn_Codes() {
    Answer(GET_ANSWER);
    ASSERT_TRUE(Chip.Chip_Get_Command());
    Usb.Sent.clear();
  }
};
}  // namespace

TEST_F(TBootloader, Identification_And_Version_Read_On_The_Wire) {
  Answer({0x79});
  Answer(GET_ANSWER);
  Answer({0x79, 0x01, 0x04, 0x10, 0x79});
  ASSERT_TRUE(Chip.Chip_Get_Header());
  EXPECT_EQ(Usb.Sent, (TBytes{0x7F, 0x00, 0xFF, 0x02, 0xFD}));
  EXPECT_EQ(Chip.STM_State, ST_OPEN);
  EXPECT_EQ(Clock.Now(), 1200ms);  // three settling waits of 400 ms
  EXPECT_EQ(Chip.Boot_ver_, 0x22);
  EXPECT_EQ(Chip.R_Mem_, 0x11);
  EXPECT_EQ(Chip.W_Mem_, 0x31);
  EXPECT_EQ(Chip.R_Un_Protect_, 0x92);
  EXPECT_EQ(Chip.Name_, "F1 Medium-density");
  EXPECT_EQ(Chip.Flash_S_, 0x08000000u);
  EXPECT_EQ(Chip.Flash_F_, 0x08020000u);
  EXPECT_EQ(Chip.RAM_F_, 0x20005000u);
  EXPECT_EQ(Chip.C_Page_, 4);
  EXPECT_EQ(Chip.Size_C_P_, 1);

  Usb.Sent.clear();
  Answer({0x79, 0x79, 0x79});
  for (std::uint8_t i = 0; i < 81; ++i) Usb.Answers.push_back(i);
  std::uint8_t version[80] = {};
  EXPECT_TRUE(Chip.Chip_Get_Memory(0x08003C02, 80, version));
  EXPECT_EQ(Usb.Sent, (TBytes{0x11, 0xEE, 0x08, 0x00, 0x3C, 0x02, 0x36, 0x50, 0xAF}));
  EXPECT_EQ(version[0], 0);
  EXPECT_EQ(version[79], 79);
  EXPECT_TRUE(Usb.Answers.empty());  // the 81st byte was read and dropped
}

TEST_F(TBootloader, Entering_Asserts_Rts_Through_A_Reset_Pulse_And_Leaving_Releases_It) {
  Answer({0x79});
  Chip.Chip_Connect();
  Chip.Chip_Disconnect();
  std::vector<std::string> lines;
  for (const std::string& call : Usb.Calls)
    if (call.starts_with("flow")) lines.push_back(call);
  EXPECT_EQ(lines, (std::vector<std::string>{"flow rts=1 dtr=0", "flow rts=2 dtr=1", "flow rts=2 dtr=0",
                                             "flow rts=0 dtr=0", "flow rts=0 dtr=1", "flow rts=0 dtr=0"}));
  EXPECT_EQ(Chip.STM_State, ST_CLOSE);
  EXPECT_EQ(Clock.Now(), 2400ms);
}

TEST_F(TBootloader, A_Chip_That_Refuses_Or_Ignores_The_Sync_Gets_No_Get) {
  for (const TBytes& answer : {TBytes{0x1F}, TBytes{}}) {
    Usb.Sent.clear();
    Answer(answer);
    EXPECT_EQ(Chip.Chip_Connect(), 0xFF);
    EXPECT_EQ(Chip.STM_State, ST_CLOSE);
    Answer(answer);
    EXPECT_FALSE(Chip.Chip_Get_Header());
    EXPECT_EQ(Usb.Sent, (TBytes{0x7F, 0x7F}));
  }
}

// The quick entry: a 20 ms pulse with no settling waits, and the sync, each time on an emptied
// receive buffer with the short read time-out, until the bootloader listens. A NACK says it was
// synchronised already (AN3155), a stray byte does not count.
TEST_F(TBootloader, The_Quick_Entry_Sends_The_Sync_Until_The_Bootloader_Listens) {
  const struct {
    const char* Name;
    TBytes Answers;
    std::uint8_t Status;
    std::size_t Syncs;
  } cases[] = {
      {"acknowledged", {0x79}, 0, 1},
      {"refused: synchronised already", {0x1F}, 0, 1},
      {"a stray byte, then the acknowledgement", {0x00, 0x79}, 0, 2},
      {"silent", {}, 0xFF, BOOT_SYNC_ATTEMPTS},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.Name);
    Usb.Calls.clear();
    Usb.Sent.clear();
    Usb.Answers.assign(test.Answers.begin(), test.Answers.end());
    const TDuration start = Clock.Now();
    EXPECT_EQ(Chip.Chip_Connect_Quick(), test.Status);
    EXPECT_EQ(Chip.STM_State, test.Status == 0 ? ST_OPEN : ST_CLOSE);
    EXPECT_EQ(Clock.Now() - start, 20ms);  // the scripted bridge answers at once
    EXPECT_EQ(Usb.Sent, TBytes(test.Syncs, 0x7F));

    std::vector<std::string> expected = {"modem", "flow rts=1 dtr=0", "modem", "flow rts=2 dtr=1", "modem",
                                         "flow rts=2 dtr=0", "timeouts 50 500"};
    for (std::size_t sync = 0; sync < test.Syncs; ++sync)
      expected.insert(expected.end(), {"flush 1 1", "write 1", "read 1"});
    expected.push_back("timeouts 500 500");
    EXPECT_EQ(Usb.Calls, expected);
  }
}

TEST_F(TBootloader, The_Quick_Exit_Releases_Rts_Through_A_Short_Reset_Pulse) {
  Usb.Lines = SI_MODEM_RTS;
  Chip.STM_State = ST_OPEN;
  Chip.Chip_Disconnect_Quick();
  std::vector<std::string> lines;
  for (const std::string& call : Usb.Calls)
    if (call.starts_with("flow")) lines.push_back(call);
  EXPECT_EQ(lines, (std::vector<std::string>{"flow rts=0 dtr=0", "flow rts=0 dtr=1", "flow rts=0 dtr=0"}));
  EXPECT_EQ(Chip.STM_State, ST_CLOSE);
  EXPECT_EQ(Clock.Now(), 20ms);
  EXPECT_TRUE(Usb.Sent.empty());
}

TEST_F(TBootloader, Get_Id_Accepts_Only_Stm32_Products) {
  Learn_Codes();
  Answer({0x79, 0x01, 0x04, 0x10, 0x79});
  ASSERT_TRUE(Chip.Chip_Get_ID());
  Answer({0x79, 0x01, 0x04, 0x13, 0x79});  // an unlisted family: no map of the chip before it is kept
  EXPECT_TRUE(Chip.Chip_Get_ID());
  EXPECT_EQ(Chip.Name_, "Unknown");
  EXPECT_FALSE(Chip.Known_Chip());
  EXPECT_EQ(Chip.Flash_S_, 0u);
  EXPECT_EQ(Chip.Flash_F_, 0u);
  EXPECT_EQ(Chip.RAM_F_, 0u);

  Answer({0x79, 0x01, 0x06, 0x10, 0x79});  // not an STM32F1: the closing acknowledgement stays unread
  EXPECT_FALSE(Chip.Chip_Get_ID());
  EXPECT_EQ(Usb.Answers, (std::deque<std::uint8_t>{0x79}));
}

TEST_F(TBootloader, Erase_Sends_The_Global_Request_Only) {
  Learn_Codes();
  Answer({0x79});
  EXPECT_FALSE(Chip.Chip_Erase(1, 1, false));
  EXPECT_EQ(Usb.Sent, (TBytes{0x43, 0xBC}));
  Usb.Sent.clear();
  Answer({0x79, 0x79});
  EXPECT_TRUE(Chip.Chip_Erase(1, 1, true));
  EXPECT_EQ(Usb.Sent, (TBytes{0x43, 0xBC, 0xFF, 0x00}));
}

TEST_F(TBootloader, A_Missing_Acknowledgement_Ends_Read_Memory_At_Once) {
  Learn_Codes();
  Answer({0x79, 0x1F});  // the address is refused
  std::uint8_t data[4] = {};
  EXPECT_FALSE(Chip.Chip_Get_Memory(0x08000000, 4, data));
  EXPECT_EQ(Usb.Sent, (TBytes{0x11, 0xEE, 0x08, 0x00, 0x00, 0x00, 0x08}));
}

TEST(TSTM32_Checksums, Bytes_And_Checksums) {
  TScripted_UsbXpress usb;
  TVirtual_Clock clock;
  TSTM32 chip(usb, clock);
  EXPECT_EQ(chip.CRC8_(0x43), 0xBC);
  EXPECT_EQ(chip.CRC8_(0xFF), 0x00);
  EXPECT_EQ(chip.CRC8_(0x100), 0x01);
  EXPECT_EQ(chip.CRC8_(0x08000000), 0x08);
  EXPECT_EQ(chip.CRC8_(0x08003C02), 0x36);
  EXPECT_EQ(TSTM32::Get_Byte(0x08003C02, 0), 0x02);
  EXPECT_EQ(TSTM32::Get_Byte(0x08003C02, 1), 0x3C);
  EXPECT_EQ(TSTM32::Get_Byte(0x08003C02, 3), 0x08);
  EXPECT_EQ(TSTM32::Get_Byte(0x08003C02, 4), 0x00);
  chip.byteArray[0] = 0x5A;
  EXPECT_EQ(chip.CRC8_Block_(0), 0x5A);
  chip.byteArray[1] = 0x0F;
  EXPECT_EQ(chip.CRC8_Block_(1), 0x01 ^ 0x5A ^ 0x0F);
}
