// The ROM bootloader as an AN3155 client sees it: every command's frames, every refusal, the flash
// that programming can only clear, and the time its flash work takes.
#include "TSim_Host.h"
#include "platform/sim/Sim_AN3155.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
struct TFrame_Case {
  const char* Name;
  TBytes Sent;      // after synchronising
  TBytes Answered;  // everything that comes back
};

// Factory flash holds firmware 2.3: version bytes 03 02 at 0x08003C02.
const TFrame_Case FRAME_CASES[] = {
    {"get", {0x00, 0xFF}, {0x79, 0x0B, 0x22, 0x00, 0x01, 0x02, 0x11, 0x21, 0x31, 0x43, 0x63, 0x73, 0x82, 0x92, 0x79}},
    {"get version", {0x01, 0xFE}, {0x79, 0x22, 0x00, 0x00, 0x79}},
    {"get id", {0x02, 0xFD}, {0x79, 0x01, 0x04, 0x10, 0x79}},
    {"read flash", {0x11, 0xEE, 0x08, 0x00, 0x3C, 0x02, 0x36, 0x01, 0xFE}, {0x79, 0x79, 0x79, 0x03, 0x02}},
    {"read ram", {0x11, 0xEE, 0x20, 0x00, 0x00, 0x00, 0x20, 0x01, 0xFE}, {0x79, 0x79, 0x79, 0x00, 0x00}},
    {"read flash size in system memory", {0x11, 0xEE, 0x1F, 0xFF, 0xF7, 0xE0, 0xF7, 0x01, 0xFE},
     {0x79, 0x79, 0x79, 0x80, 0x00}},
    {"read option bytes", {0x11, 0xEE, 0x1F, 0xFF, 0xF8, 0x00, 0x18, 0x03, 0xFC}, {0x79, 0x79, 0x79, 0xA5, 0x5A, 0xFF, 0x00}},
    {"read last byte of flash", {0x11, 0xEE, 0x08, 0x01, 0xFF, 0xFF, 0x09, 0x00, 0xFF}, {0x79, 0x79, 0x79, 0xFF}},
    {"write ram", {0x31, 0xCE, 0x20, 0x00, 0x00, 0x00, 0x20, 0x03, 1, 2, 3, 4, 0x07}, {0x79, 0x79, 0x79}},
    {"global erase", {0x43, 0xBC, 0xFF, 0x00}, {0x79, 0x79}},
    {"erase pages 0 and 1", {0x43, 0xBC, 0x01, 0x00, 0x01, 0x00}, {0x79, 0x79}},
    {"go to ram", {0x21, 0xDE, 0x20, 0x00, 0x00, 0x00, 0x20}, {0x79, 0x79}},

    {"unknown code", {0x03, 0xFC}, {0x1F}},
    {"wrong complement", {0x00, 0x00}, {0x1F}},
    {"write protect", {0x63, 0x9C}, {0x1F}},
    {"write unprotect", {0x73, 0x8C}, {0x1F}},
    {"readout protect", {0x82, 0x7D}, {0x1F}},
    {"readout unprotect", {0x92, 0x6D}, {0x1F}},
    {"read, wrong address checksum", {0x11, 0xEE, 0x08, 0x00, 0x00, 0x00, 0x09}, {0x79, 0x1F}},
    {"read, address outside memory", {0x11, 0xEE, 0x30, 0x00, 0x00, 0x00, 0x30}, {0x79, 0x1F}},
    {"read, count past the end of flash", {0x11, 0xEE, 0x08, 0x01, 0xFF, 0xF0, 0x06, 0x1F, 0xE0}, {0x79, 0x79, 0x1F}},
    {"read, wrong count complement", {0x11, 0xEE, 0x08, 0x00, 0x00, 0x00, 0x08, 0x0F, 0x0F}, {0x79, 0x79, 0x1F}},
    {"write, misaligned address", {0x31, 0xCE, 0x08, 0x00, 0x00, 0x02, 0x0A}, {0x79, 0x1F}},
    {"write, system memory", {0x31, 0xCE, 0x1F, 0xFF, 0xF0, 0x00, 0x10}, {0x79, 0x1F}},
    {"write, wrong data checksum", {0x31, 0xCE, 0x20, 0x00, 0x00, 0x00, 0x20, 0x03, 1, 2, 3, 4, 0x00}, {0x79, 0x79, 0x1F}},
    {"write, past the end of ram",
     {0x31, 0xCE, 0x20, 0x00, 0x4F, 0xFC, 0x93, 0x07, 1, 2, 3, 4, 5, 6, 7, 8, 0x07 ^ 1 ^ 2 ^ 3 ^ 4 ^ 5 ^ 6 ^ 7 ^ 8},
     {0x79, 0x79, 0x1F}},
    {"global erase, wrong checksum", {0x43, 0xBC, 0xFF, 0x01}, {0x79, 0x1F}},
    {"erase, page past the end", {0x43, 0xBC, 0x00, 0x80, 0x80}, {0x79, 0x1F}},
    {"erase, wrong page-list checksum", {0x43, 0xBC, 0x00, 0x05, 0x00}, {0x79, 0x1F}},
    {"go to option bytes", {0x21, 0xDE, 0x1F, 0xFF, 0xF8, 0x00, 0x18}, {0x79, 0x1F}},
};
}  // namespace

TEST(TSim_Bootloader, Answers_Every_Command_And_Refuses_Every_Bad_Frame) {
  for (const TFrame_Case& frame : FRAME_CASES) {
    TSim_Host host;
    host.Enter_Bootloader();
    host.Send(frame.Sent);
    EXPECT_EQ(host.Receive(), frame.Answered) << frame.Name;
  }
}

TEST(TSim_Bootloader, Takes_Its_Commands_Again_After_A_Refusal) {
  TSim_Host host;
  host.Enter_Bootloader();
  host.Send({0x11, 0xEE, 0x30, 0x00, 0x00, 0x00, 0x30});
  ASSERT_EQ(host.Receive(), (TBytes{0x79, 0x1F}));
  host.Send({0x02, 0xFD});
  EXPECT_EQ(host.Receive(), (TBytes{0x79, 0x01, 0x04, 0x10, 0x79}));
}

TEST(TSim_Bootloader, Reads_Up_To_256_Bytes) {
  TSim_Host host;
  host.Enter_Bootloader();
  host.Send({0x11, 0xEE, 0x08, 0x00, 0x00, 0x00, 0x08, 0xFF, 0x00});
  const TBytes answer = host.Receive();
  ASSERT_EQ(answer.size(), 3u + 256u);
  EXPECT_EQ(TBytes(answer.begin() + 3, answer.end()), host.Board.Flash(0x08000000, 256));
}

// Reset released, NRST rises and the ROM starts: a sync that arrives before BOOT_START_TIME is lost.
TEST(TSim_Bootloader, Takes_No_Sync_Before_It_Has_Started) {
  TSim_Host host;
  host.Open(HOST_8E1);
  host.Set_Lines(true, true);
  host.Set_Lines(false, true);
  host.Clock.Sleep(BOOT_START_TIME - 1ms);
  host.Send({0x7F});
  EXPECT_TRUE(host.Receive().empty());
  host.Send({0x7F});
  EXPECT_EQ(host.Receive(), TBytes{0x79});
}

// Synchronised once, a second 0x7F is the first byte of a command: with the next one it is refused.
TEST(TSim_Bootloader, Learns_The_Baud_Rate_From_The_First_0x7F_Only) {
  TSim_Host host;
  host.Open(HOST_8E1);
  host.Usb.Set_Baud_Rate(host.Handle, 9600);
  host.Set_Lines(true, true);
  host.Set_Lines(false, true);
  host.Clock.Sleep(10ms);
  host.Send({0x00, 0x55, 0x7F});
  EXPECT_EQ(host.Receive(), TBytes{0x79});
  host.Send({0x7F, 0x7F});
  EXPECT_EQ(host.Receive(), TBytes{0x1F});
  host.Usb.Set_Baud_Rate(host.Handle, 38400);
  host.Send({0x02, 0xFD});
  EXPECT_TRUE(host.Receive().empty());  // at the wrong rate it is garbage to the bootloader
}

TEST(TSim_Bootloader, Programming_Only_Clears_Bits_Until_The_Page_Is_Erased) {
  TSim_Host host;
  const TBytes before = host.Board.Flash(0x08000400, 4);
  const TBytes pattern = {0xF0, 0x0F, 0xAA, 0x55};
  auto write = [&] {
    host.Send({0x31, 0xCE, 0x08, 0x00, 0x04, 0x00, 0x0C, 0x03});
    host.Send(pattern);
    host.Send({static_cast<std::uint8_t>(0x03 ^ 0xF0 ^ 0x0F ^ 0xAA ^ 0x55)});
    return host.Receive();
  };
  host.Enter_Bootloader();
  ASSERT_EQ(write(), (TBytes{0x79, 0x79, 0x79}));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(host.Board.Flash(0x08000400 + i, 1)[0], before[i] & pattern[i]);

  host.Send({0x43, 0xBC, 0x00, 0x01, 0x01});  // page 1 holds 0x08000400
  ASSERT_EQ(host.Receive(), (TBytes{0x79, 0x79}));
  EXPECT_EQ(host.Board.Flash(0x08000400, 1024), TBytes(1024, 0xFF));
  const TBytes image = Application_Image(2, 3);
  EXPECT_EQ(host.Board.Flash(0x080003FC, 4), TBytes(image.begin() + 0x3FC, image.begin() + 0x400));
  ASSERT_EQ(write(), (TBytes{0x79, 0x79, 0x79}));
  EXPECT_EQ(host.Board.Flash(0x08000400, 4), pattern);
}

// The acknowledgement comes when the flash work is done (40 ms for the whole flash, 128 half-words
// of 52.5 us for 256 bytes), 50 us after the frame's last byte and its own wire time.
TEST(TSim_Bootloader, Acknowledges_Flash_Work_When_It_Is_Done) {
  TSim_Host host;
  host.Enter_Bootloader();
  const TDuration byte_time = std::chrono::nanoseconds(1'000'000'000LL * 11 / 38400);  // 8E1

  host.Send({0x43, 0xBC});
  host.Receive(1);
  const TDuration sent = host.Clock.Now();
  host.Send({0xFF, 0x00});
  ASSERT_EQ(host.Receive(1), TBytes{0x79});
  EXPECT_EQ(host.Clock.Now() - sent, 2 * byte_time + 50us + 40ms + byte_time);

  host.Send({0x31, 0xCE, 0x08, 0x00, 0x00, 0x00, 0x08});
  host.Receive(2);
  TBytes block = {0xFF};
  block.insert(block.end(), 256, 0x00);
  block.push_back(0xFF);
  const TDuration start = host.Clock.Now();
  host.Send(block);
  ASSERT_EQ(host.Receive(1), TBytes{0x79});
  EXPECT_EQ(host.Clock.Now() - start, 258 * byte_time + 50us + 6720us + byte_time);
  EXPECT_EQ(host.Board.Flash(0x08000000, 256), TBytes(256, 0x00));
}

TEST(TSim_Bootloader, Go_Starts_The_Application_At_The_Start_Of_Flash_And_Nothing_Elsewhere) {
  for (const auto& [address, runs] : {std::pair{0x08000000u, SIM_RUN_APPLICATION}, {0x08000100u, SIM_RUN_NOTHING},
                                     {0x20000000u, SIM_RUN_NOTHING}}) {
    TSim_Host host;
    host.Enter_Bootloader();
    TBytes go = {0x21, 0xDE};
    for (int shift = 24; shift >= 0; shift -= 8) go.push_back(static_cast<std::uint8_t>(address >> shift));
    go.push_back(go[2] ^ go[3] ^ go[4] ^ go[5]);
    host.Send(go);
    EXPECT_EQ(host.Receive(), (TBytes{0x79, 0x79}));
    EXPECT_EQ(host.Board.Running(), runs) << std::hex << address;
  }
}

// The autobaud measures a sync up to 115200 baud; a faster one goes unanswered, and the next reset
// lets the host try a slower rate.
TEST(TSim_Bootloader, Answers_A_Sync_At_Up_To_115200_Baud_And_Nothing_Faster) {
  for (const auto& [baud, answer] : {std::pair{115200u, TBytes{0x79}}, {230400u, TBytes{}}, {921600u, TBytes{}}}) {
    SCOPED_TRACE(baud);
    TSim_Host host;
    host.Open(HOST_8E1);
    host.Usb.Set_Baud_Rate(host.Handle, baud);
    host.Set_Lines(true, true);
    host.Clock.Sleep(std::chrono::milliseconds(10));
    host.Set_Lines(false, true);
    host.Clock.Sleep(std::chrono::milliseconds(10));
    host.Send({0x7F});
    EXPECT_EQ(host.Receive(), answer);
    if (answer.empty()) continue;
    // At the rate learned, every byte still takes its wire time: Get and its 15-byte answer.
    const TDuration start = host.Clock.Now();
    host.Send({0x00, 0xFF});
    EXPECT_EQ(host.Receive(15).size(), 15u);
    EXPECT_GE(host.Clock.Now() - start, std::chrono::nanoseconds(1'000'000'000LL * 11 * 17 / baud));
  }
}
