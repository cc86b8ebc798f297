// Byte I/O of the USBXpress view over a pseudo-terminal that stands in for the bridge's tty.
#include "bridge/TCP21xx.h"
#include "platform/TVirtual_Clock.h"
#include "platform/linux/TLinux_Bridges.h"
#include "support/TFake_Sysfs.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

namespace {
constexpr int SHORT_MS = 10;  // for reads that must time out: keeps the suite fast
constexpr int LONG_MS = 2000;  // for bytes that are there already: never reached

const TUsb_Serial BRIDGE{"ttyUSB0", "1-2", "cp210x", 0x10C4, 0xEA61, CP2102_PRODUCT, 7};

// The controller's end of the line.
class TPty {
public:
  TPty() {
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0) throw std::runtime_error("no pty");
    Slave = ptsname(Master);
  }
  ~TPty() { Close(); }
  void Close() {
    if (Master >= 0) close(Master);
    Master = -1;
  }
  // In one write, so the bytes reach the other end together.
  void Send(std::vector<std::uint8_t> bytes) const {
    ASSERT_EQ(write(Master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  std::optional<std::uint8_t> Receive() const {
    pollfd request{Master, POLLIN, 0};
    std::uint8_t byte = 0;
    if (poll(&request, 1, LONG_MS) != 1 || read(Master, &byte, 1) != 1) return std::nullopt;
    return byte;
  }
  // Every descriptor of the other end is closed.
  bool Hung_Up() const {
    pollfd request{Master, POLLIN, 0};
    return poll(&request, 1, 0) == 1 && (request.revents & POLLHUP) != 0;
  }
  // A master reads and sets its slave's settings.
  termios Settings() const {
    termios settings{};
    tcgetattr(Master, &settings);
    return settings;
  }
  void Change(const termios& settings) const { ASSERT_EQ(tcsetattr(Master, TCSANOW, &settings), 0); }

  int Master = -1;
  std::string Slave;
};

struct TPty_Port : testing::Test {
  TFake_Sysfs Tree;
  TPty Controller;
  TLinux_Bridges Bridges{{Tree.Sys(), Tree.Dev()}};
  TUsbXpress& Usb = Bridges.UsbXpress();

  void SetUp() override {
    Tree.Add_Usb_Serial(BRIDGE);
    Tree.Link_Node(BRIDGE.Tty, Controller.Slave);
    Usb.Set_Timeouts(LONG_MS, LONG_MS);
  }

  std::int32_t Count() {
    std::int32_t count = -1;
    EXPECT_EQ(Usb.Get_Num_Devices(count), SI_SUCCESS);
    return count;
  }

  SI_HANDLE Open() {
    EXPECT_EQ(Count(), 1);
    SI_HANDLE handle = 0;
    EXPECT_EQ(Usb.Open(0, handle), SI_SUCCESS) << Usb.Last_Error();
    return handle;
  }

  SI_STATUS Read_One(SI_HANDLE handle, std::uint8_t& byte) {
    std::uint32_t read = 0;
    return Usb.Read(handle, &byte, 1, read);
  }

  std::string Went_Away() const {
    return (Tree.Dev() / "ttyUSB0").string() +
           " (USB 1-2): the device went away; plug the controller in again (README, section \"Real hardware\")";
  }
};
}  // namespace

TEST_F(TPty_Port, Opens_Raw_At_38400_Without_Hanging_Up_On_Close) {
  termios before = Controller.Settings();  // as a tty that someone else left behind
  before.c_cflag |= HUPCL | CRTSCTS;
  before.c_cflag &= ~CLOCAL;
  cfsetspeed(&before, B9600);
  Controller.Change(before);
  const SI_HANDLE handle = Open();
  const termios settings = Controller.Settings();
  EXPECT_EQ(cfgetospeed(&settings), B38400);
  EXPECT_EQ(settings.c_cflag & HUPCL, 0u);
  EXPECT_NE(settings.c_cflag & CLOCAL, 0u);
  EXPECT_EQ(settings.c_cflag & CRTSCTS, 0u);
  EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
  EXPECT_EQ(Usb.Set_Baud_Rate(handle, 38400), SI_SUCCESS);
  EXPECT_EQ(Usb.Set_Baud_Rate(handle, 12345), SI_INVALID_PARAMETER);
  EXPECT_EQ(Usb.Set_Line_Control(handle, 0x0800), SI_SUCCESS);  // a pty refuses parity
  EXPECT_EQ(Usb.Set_Line_Control(handle, 0x0801), SI_INVALID_PARAMETER);
}

TEST_F(TPty_Port, Moves_Bytes_Both_Ways) {
  const SI_HANDLE handle = Open();
  Controller.Send({0x79});
  std::uint8_t byte = 0;
  EXPECT_EQ(Read_One(handle, byte), SI_SUCCESS);
  EXPECT_EQ(byte, 0x79);
  const std::uint8_t command[] = {0x7F, 0x00, 0xFF};
  std::uint32_t written = 0;
  EXPECT_EQ(Usb.Write(handle, command, 3, written), SI_SUCCESS);
  EXPECT_EQ(written, 3u);
  for (const std::uint8_t expected : command) EXPECT_EQ(Controller.Receive(), expected);
}

TEST_F(TPty_Port, A_Read_With_Nothing_To_Read_Times_Out_And_Leaves_The_Byte) {
  const SI_HANDLE handle = Open();
  Usb.Set_Timeouts(SHORT_MS, SHORT_MS);
  std::uint8_t byte = 0xA5;
  std::uint32_t read = 7;
  EXPECT_EQ(Usb.Read(handle, &byte, 1, read), SI_READ_TIMED_OUT);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(byte, 0xA5);
  EXPECT_EQ(Usb.Last_Error(), "");
}

TEST_F(TPty_Port, Flushing_Drops_What_Has_Arrived) {
  const SI_HANDLE handle = Open();
  // Reading the first byte shows that the second has arrived too.
  Controller.Send({0x1F, 0x2E});
  std::uint8_t byte = 0;
  ASSERT_EQ(Read_One(handle, byte), SI_SUCCESS);
  EXPECT_EQ(Usb.Flush_Buffers(handle, 1, 1), SI_SUCCESS);
  Usb.Set_Timeouts(SHORT_MS, SHORT_MS);
  EXPECT_EQ(Read_One(handle, byte), SI_READ_TIMED_OUT);
  EXPECT_EQ(byte, 0x1F);
}

// A pty has no modem lines: the calls must fail, not pretend.
TEST_F(TPty_Port, Modem_Line_Calls_Report_The_Driver_Refusing_Them) {
  const SI_HANDLE handle = Open();
  std::uint8_t status = 0;
  EXPECT_EQ(Usb.Get_Modem_Status(handle, status), SI_DEVICE_IO_FAILED);
  EXPECT_EQ(Usb.Set_Flow_Control(handle, 0, 1, 0, 0, 0, 0), SI_DEVICE_IO_FAILED);
  EXPECT_EQ(Usb.Set_Flow_Control(handle, 0, 0, 1, 0, 0, 0), SI_DEVICE_IO_FAILED);
  EXPECT_EQ(Usb.Set_Flow_Control(handle, 1, 0, 0, 0, 0, 0), SI_FUNCTION_NOT_SUPPORTED);
  TVirtual_Clock clock;
  TCP21xx port(Usb, clock);
  port.CP_Haldle = handle;
  EXPECT_NE(port.Set_DTR(1), SI_SUCCESS);
  EXPECT_NE(port.Set_RTS(0), SI_SUCCESS);
}

// Opening again would reset the controller, so the descriptor outlives the library's close.
TEST_F(TPty_Port, Reopening_Reuses_The_Descriptor) {
  const SI_HANDLE first = Open();
  SI_HANDLE again = 0;
  EXPECT_EQ(Usb.Open(0, again), SI_SUCCESS);
  EXPECT_EQ(again, first);
  EXPECT_EQ(Usb.Close(first), SI_SUCCESS);
  EXPECT_EQ(Usb.Close(first), SI_INVALID_HANDLE);
  Tree.Remove_Node(BRIDGE.Tty);  // opening the node again would now fail
  EXPECT_FALSE(Controller.Hung_Up());
  const SI_HANDLE second = Open();
  EXPECT_NE(second, first);
  std::uint8_t byte = 0;
  EXPECT_EQ(Read_One(first, byte), SI_INVALID_HANDLE);
  Controller.Send({0x42});
  EXPECT_EQ(Read_One(second, byte), SI_SUCCESS);
  EXPECT_EQ(byte, 0x42);
}

TEST_F(TPty_Port, A_Bridge_That_Left_Is_Let_Go) {
  const SI_HANDLE handle = Open();
  Tree.Remove(BRIDGE);
  EXPECT_EQ(Count(), 0);
  EXPECT_TRUE(Controller.Hung_Up());
  std::uint8_t byte = 0;
  EXPECT_EQ(Read_One(handle, byte), SI_DEVICE_NOT_FOUND);
  EXPECT_EQ(Usb.Last_Error(), Went_Away());
  EXPECT_EQ(Usb.Close(handle), SI_SUCCESS);
}

TEST_F(TPty_Port, A_Bridge_That_Enumerated_Again_Is_Opened_Afresh) {
  const SI_HANDLE old_handle = Open();
  TPty replugged;
  TUsb_Serial again = BRIDGE;
  again.Address = 8;
  Tree.Remove(BRIDGE);
  Tree.Add_Usb_Serial(again);
  Tree.Link_Node(again.Tty, replugged.Slave);
  const SI_HANDLE handle = Open();
  EXPECT_NE(handle, old_handle);
  EXPECT_TRUE(Controller.Hung_Up());
  replugged.Send({0x5A});
  std::uint8_t byte = 0;
  EXPECT_EQ(Read_One(handle, byte), SI_SUCCESS);
  EXPECT_EQ(byte, 0x5A);
}

TEST_F(TPty_Port, A_Line_That_Drops_During_A_Read_Says_So) {
  const SI_HANDLE handle = Open();
  Controller.Close();
  std::uint8_t byte = 0xA5;
  EXPECT_EQ(Read_One(handle, byte), SI_READ_ERROR);
  EXPECT_EQ(byte, 0xA5);
  EXPECT_EQ(Usb.Last_Error(), Went_Away());
  EXPECT_EQ(Read_One(handle, byte), SI_DEVICE_NOT_FOUND);  // the descriptor is gone
}

// The bridge port logs the cause after "Error CP init": the calls on the handle that never opened
// must not wipe it.
TEST_F(TPty_Port, The_Cause_Of_A_Failed_Open_Outlasts_The_Rest_Of_Init) {
  Tree.Remove_Node(BRIDGE.Tty);
  TVirtual_Clock clock;
  TCP21xx port(Usb, clock);
  ASSERT_TRUE(port.CP_Connect());
  port.CP_State = CP_BUSY;
  EXPECT_FALSE(port.Init_CP(LINE_8E1));
  EXPECT_EQ(port.CP_State, CP_CLOSE);
  EXPECT_EQ(port.Port_Error(), Went_Away());
  EXPECT_TRUE(port.CP_Connect());
  EXPECT_EQ(port.Port_Error(), "");
}
