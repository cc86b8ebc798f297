// The board as the bridge port sees it: the boot-pin wiring, the wire timing on the virtual clock,
// formats that do not match, and the injected faults.
#include "TSim_Host.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

using namespace std::chrono_literals;

namespace {
const TDuration BYTE_8N1 = std::chrono::nanoseconds(1'000'000'000LL * 10 / 38400);
const TBytes READ_PWM_IN_1 = {0xFF, 0x01, 17};  // factory value 400: 01 90
const TBytes PWM_IN_1_ANSWER = {0x01, 0x90};
}  // namespace

TEST(TSim_Board, Reset_Release_Starts_What_The_Boot_Pin_And_The_Flash_Select) {
  struct TCase {
    const char* Name;
    TSim_Factory_State Flash;
    std::uint8_t Rts;  // the setting passed; any non-zero value asserts
    TSim_Run Runs;
  };
  const TCase cases[] = {
      {"RTS asserted", SIM_FACTORY_USBXPRESS, 1, SIM_RUN_BOOTLOADER},
      {"RTS setting 2", SIM_FACTORY_USBXPRESS, 2, SIM_RUN_BOOTLOADER},
      {"RTS asserted, blank flash", SIM_FACTORY_BLANK, 1, SIM_RUN_BOOTLOADER},
      {"RTS released", SIM_FACTORY_USBXPRESS, 0, SIM_RUN_APPLICATION},
      {"RTS released, blank flash", SIM_FACTORY_BLANK, 0, SIM_RUN_NOTHING},
  };
  for (const TCase& c : cases) {
    TSim_Host host(Factory_Setup(c.Flash));
    host.Open(HOST_8E1);
    host.Usb.Set_Flow_Control(host.Handle, 0, c.Rts, 1, 0, 0, 0);
    EXPECT_EQ(host.Board.Running(), SIM_RUN_RESET) << c.Name;
    std::uint8_t status = 0;
    host.Usb.Get_Modem_Status(host.Handle, status);
    EXPECT_EQ(status, SI_MODEM_DTR | (c.Rts ? SI_MODEM_RTS : 0)) << c.Name;
    host.Usb.Set_Flow_Control(host.Handle, 0, c.Rts, 0, 0, 0, 0);
    EXPECT_EQ(host.Board.Running(), c.Runs) << c.Name;
    // Changing RTS while the chip runs changes nothing until the next reset.
    host.Usb.Set_Flow_Control(host.Handle, 0, c.Rts ? 0 : 1, 0, 0, 0, 0);
    EXPECT_EQ(host.Board.Running(), c.Runs) << c.Name;
  }
}

// The tty layer asserts DTR and RTS on every open, and the last close disables the bridge's UART,
// which releases both; a chip left in its bootloader is not reset by that and stays there.
TEST(TSim_Board, Every_Open_Asserts_Both_Lines_And_The_Last_Close_Releases_Them) {
  TSim_Host host;
  EXPECT_EQ(host.Board.Lines(), TSim_Lines{});
  EXPECT_EQ(host.Board.Running(), SIM_RUN_APPLICATION);
  const TSim_Session first = *host.Board.Open(SIM_VIEW_MANUFACTURING);
  EXPECT_EQ(host.Board.Lines(), (TSim_Lines{true, true}));
  EXPECT_EQ(host.Board.Running(), SIM_RUN_RESET);
  host.Board.Set_Lines(first, {true, true});
  host.Board.Set_Lines(first, {false, true});  // released with the boot pin asserted
  EXPECT_EQ(host.Board.Running(), SIM_RUN_BOOTLOADER);

  const TSim_Session second = *host.Board.Open(SIM_VIEW_MANUFACTURING);  // another program
  EXPECT_EQ(host.Board.Running(), SIM_RUN_RESET);
  host.Board.Set_Lines(second, {false, true});
  ASSERT_EQ(host.Board.Close(second), SIM_RESULT_OK);
  EXPECT_EQ(host.Board.Lines(), (TSim_Lines{false, true}));  // not the last close
  ASSERT_EQ(host.Board.Close(first), SIM_RESULT_OK);
  EXPECT_EQ(host.Board.Lines(), TSim_Lines{});
  EXPECT_EQ(host.Board.Running(), SIM_RUN_BOOTLOADER);
  EXPECT_EQ(host.Board.Close(first), SIM_RESULT_GONE);
}

// The program's tty is exclusive, so another program's open fails and leaves the lines alone. The
// library's close keeps the tty, so opening again does not restart the chip.
TEST(TSim_Board, The_Kept_Tty_Outlives_The_Librarys_Close_And_Keeps_Others_Out) {
  TSim_Host host;
  host.Open(HOST_8N1);
  EXPECT_EQ(host.Board.Lines(), TSim_Lines{});
  EXPECT_EQ(host.Board.Running(), SIM_RUN_APPLICATION);  // restarted by the first open
  host.Set_Lines(false, true);
  ASSERT_EQ(host.Usb.Close(host.Handle), SI_SUCCESS);
  host.Open(HOST_8N1);
  EXPECT_EQ(host.Board.Lines(), (TSim_Lines{false, true}));

  const auto bridges = host.Bus.Kernel().Find_Bridges();
  ASSERT_EQ(bridges->size(), 1u);
  int error = 0;
  EXPECT_FALSE(host.Bus.Kernel().Open_Shared(bridges->front(), error));
  EXPECT_EQ(error, EBUSY);
  EXPECT_EQ(host.Board.Lines(), (TSim_Lines{false, true}));
}

// Three bytes out, 50 us to answer, two bytes back: each byte 10 bits at 38400 baud.
TEST(TSim_Board, An_Answer_Is_Readable_Only_Once_It_Has_Arrived) {
  TSim_Host host;
  host.Open(HOST_8N1);
  const TDuration start = host.Clock.Now();
  host.Send(READ_PWM_IN_1);
  EXPECT_EQ(host.Clock.Now(), start);  // a write does not wait for its bytes
  std::uint8_t byte = 0;
  std::uint32_t read = 0;
  ASSERT_EQ(host.Usb.Read(host.Handle, &byte, 1, read), SI_SUCCESS);
  EXPECT_EQ(host.Clock.Now() - start, 3 * BYTE_8N1 + 50us + BYTE_8N1);
  EXPECT_EQ(byte, 0x01);
  ASSERT_EQ(host.Usb.Read(host.Handle, &byte, 1, read), SI_SUCCESS);
  EXPECT_EQ(host.Clock.Now() - start, 3 * BYTE_8N1 + 50us + 2 * BYTE_8N1);
  EXPECT_EQ(byte, 0x90);
}

TEST(TSim_Board, A_Read_That_Finds_Nothing_Fails_After_Its_Time_Out_And_Leaves_The_Destination) {
  TSim_Host host;
  host.Open(HOST_8N1);
  const TDuration start = host.Clock.Now();
  std::uint8_t byte = 0xA5;
  std::uint32_t read = 7;
  EXPECT_NE(host.Usb.Read(host.Handle, &byte, 1, read), SI_SUCCESS);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(byte, 0xA5);
  EXPECT_EQ(host.Clock.Now() - start, 500ms);
}

// Baud rate and parity must match at both ends; bytes in another format are garbage and dropped.
TEST(TSim_Board, Bytes_In_Another_Format_Are_Discarded_By_Their_Receiver) {
  const std::pair<const char*, std::pair<std::uint32_t, std::uint16_t>> cases[] = {
      {"even parity", {38400, HOST_8E1}}, {"9600 baud", {9600, HOST_8N1}}, {"7 data bits", {38400, 0x0700}}};
  for (const auto& [name, format] : cases) {
    TSim_Host host;
    host.Open(format.second);
    host.Usb.Set_Baud_Rate(host.Handle, format.first);
    host.Send(READ_PWM_IN_1);
    EXPECT_TRUE(host.Receive().empty()) << name;
    EXPECT_EQ(host.Board.Wire_Log(SIM_TO_BOARD), READ_PWM_IN_1) << name;  // it was on the wire
  }
  TSim_Host host;  // the answer comes at 8N1 to a bridge that expects 8E1
  host.Open(HOST_8N1);
  host.Send(READ_PWM_IN_1);
  host.Clock.Sleep(1ms);
  host.Usb.Set_Line_Control(host.Handle, HOST_8E1);
  EXPECT_TRUE(host.Receive().empty());
  EXPECT_EQ(host.Board.Wire_Log(SIM_TO_HOST), PWM_IN_1_ANSWER);
}

TEST(TSim_Board, Flushing_Drops_What_Has_Arrived_And_What_Has_Not_Left) {
  TSim_Host host;
  host.Open(HOST_8N1);
  host.Send(READ_PWM_IN_1);
  host.Clock.Sleep(5ms);
  host.Send(READ_PWM_IN_1);  // its first byte is leaving when the flush comes, the rest stay
  host.Usb.Flush_Buffers(host.Handle, 1, 1);
  EXPECT_TRUE(host.Receive().empty());
  EXPECT_EQ(host.Board.Wire_Log(SIM_TO_BOARD), (TBytes{0xFF, 0x01, 17, 0xFF}));
}

TEST(TSim_Board, A_Reset_Drops_The_Answer_The_Chip_Had_Not_Yet_Sent) {
  TSim_Host host;
  host.Enter_Bootloader();
  host.Send({0x43, 0xBC});
  ASSERT_EQ(host.Receive(1), TBytes{0x79});
  host.Send({0xFF, 0x00});
  host.Clock.Sleep(20ms);  // the erase takes 40 ms
  host.Set_Lines(true, true);
  EXPECT_TRUE(host.Receive().empty());
}

TEST(TSim_Board, Injected_Faults_Change_What_Comes_Back) {
  struct TCase {
    const char* Name;
    std::function<void(TSim_Board&)> Inject;
    TBytes Answered;
  };
  const TCase cases[] = {
      {"silent", [](TSim_Board& b) { b.Set_Silent(true); }, {}},
      {"second byte to the host corrupted", [](TSim_Board& b) { b.Corrupt_Byte(SIM_TO_HOST, 2, 0x01); }, {0x01, 0x91}},
      // id 17 becomes 16 (factory value 200: 00 C8)
      {"third byte to the board corrupted", [](TSim_Board& b) { b.Corrupt_Byte(SIM_TO_BOARD, 3, 0x01); }, {0x00, 0xC8}},
      {"first byte to the board corrupted", [](TSim_Board& b) { b.Corrupt_Byte(SIM_TO_BOARD, 1); }, {}},
  };
  for (const TCase& c : cases) {
    TSim_Host host;
    host.Open(HOST_8N1);
    c.Inject(host.Board);
    host.Send(READ_PWM_IN_1);
    EXPECT_EQ(host.Receive(), c.Answered) << c.Name;
  }
}

TEST(TSim_Board, A_Delayed_Answer_Arrives_That_Much_Later_Or_After_The_Time_Out) {
  for (const auto& [delay, arrives] : {std::pair{400ms, true}, {600ms, false}}) {
    TSim_Host host;
    host.Open(HOST_8N1);
    host.Board.Delay_Answers(delay);
    host.Send(READ_PWM_IN_1);
    const TDuration sent = host.Clock.Now();
    std::uint8_t byte = 0;
    std::uint32_t read = 0;
    EXPECT_EQ(host.Usb.Read(host.Handle, &byte, 1, read) == SI_SUCCESS, arrives);
    if (arrives) {
      EXPECT_EQ(host.Clock.Now() - sent, 4 * BYTE_8N1 + 50us + delay);
    }
  }
}

// The ACKs of sync, Get and Get ID are frames 1 to 3; the third is refused.
TEST(TSim_Board, The_Nth_Frame_Gets_Nack) {
  TSim_Host host;
  host.Board.Nack_Frame(3);
  host.Enter_Bootloader();
  host.Send({0x00, 0xFF});
  EXPECT_EQ(host.Receive().size(), 15u);
  host.Send({0x02, 0xFD});
  EXPECT_EQ(host.Receive(), TBytes{0x1F});
  host.Send({0x02, 0xFD});
  EXPECT_EQ(host.Receive(), (TBytes{0x79, 0x01, 0x04, 0x10, 0x79}));
}

TEST(TSim_Board, An_Unplugged_Board_Fails_Its_Handle_And_Comes_Back_When_Replugged) {
  TSim_Host host;
  host.Open(HOST_8N1);
  host.Set_Lines(true, false);  // held in reset; the unpowered bridge releases it
  host.Board.Unplug_At(1s);
  host.Board.Replug_At(3s);
  host.Send(READ_PWM_IN_1);
  EXPECT_EQ(host.Receive(), TBytes{});  // held in reset: no answer
  host.Clock.Sleep(1s - host.Clock.Now());
  std::int32_t count = -1;
  host.Usb.Get_Num_Devices(count);
  EXPECT_EQ(count, 0);
  std::uint8_t status = 0;
  EXPECT_NE(host.Usb.Get_Modem_Status(host.Handle, status), SI_SUCCESS);
  EXPECT_EQ(host.Board.Running(), SIM_RUN_APPLICATION);

  host.Clock.Sleep(3s - host.Clock.Now());
  EXPECT_TRUE(host.Board.Listed(SIM_VIEW_USBXPRESS));
  std::uint32_t written = 0;
  EXPECT_NE(host.Usb.Write(host.Handle, READ_PWM_IN_1.data(), 3, written), SI_SUCCESS);  // the old handle stays dead
  host.Open(HOST_8N1);
  host.Send(READ_PWM_IN_1);
  EXPECT_EQ(host.Receive(), PWM_IN_1_ANSWER);
}

TEST(TSim_Board, A_Read_Waiting_When_The_Board_Is_Unplugged_Fails) {
  TSim_Host host;
  host.Open(HOST_8N1);
  host.Board.Unplug_At(200ms);
  std::uint8_t byte = 0;
  std::uint32_t read = 0;
  EXPECT_EQ(host.Usb.Read(host.Handle, &byte, 1, read), SI_READ_ERROR);
  EXPECT_EQ(host.Clock.Now(), 200ms);
}

// The firmware writer's worker reads while the interface thread sleeps on the clock.
TEST(TSim_Board, A_Worker_Thread_Reads_While_Another_Sleeps_On_The_Clock) {
  TSim_Host host;
  host.Open(HOST_8N1);
  TBytes answer;
  host.Clock.Thread_Starting();
  std::thread worker([&] {
    for (int i = 0; i < 20; ++i) {
      host.Send(READ_PWM_IN_1);
      const TBytes got = host.Receive(2);
      answer.insert(answer.end(), got.begin(), got.end());
    }
    host.Clock.Thread_Ended();
  });
  for (int i = 0; i < 10; ++i) host.Clock.Sleep(250ms);
  worker.join();
  EXPECT_EQ(answer.size(), 40u);
  EXPECT_EQ(TBytes(answer.end() - 2, answer.end()), PWM_IN_1_ANSWER);
}

TEST(TSim_Board_Wire_Log, Keeps_Only_The_Latest_Bytes) {
  TSim_Host host;
  host.Enter_Application();
  const TBytes read_request{0xFF, 0x01, 17};
  for (std::size_t sent = 0; sent <= SIM_WIRE_LOG_BYTES; sent += read_request.size()) host.Send(read_request);
  host.Clock.Sleep(std::chrono::seconds(30));
  const auto log = host.Board.Wire_Log(SIM_TO_BOARD);
  EXPECT_EQ(log.size(), SIM_WIRE_LOG_BYTES);
  EXPECT_EQ(TBytes(log.end() - 3, log.end()), read_request);
}
