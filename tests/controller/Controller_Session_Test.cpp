// The version read of the identification byte for byte, with a scripted bridge: the same frame as
// the link supervisor has always sent, and an answer that stops short counts as no version.
#include "controller/Controller_Session.h"
#include "firmware/Boot_Waits.h"
#include "platform/TVirtual_Clock.h"
#include "support/Bootloader_Script.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

#include <algorithm>

using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint8_t ACK = 0x79;

// A medium-density STM32F1 up to the acknowledgement of the Read Memory count byte.
std::deque<std::uint8_t> Bootloader_Answers() {
  std::deque<std::uint8_t> answers = Header_Answers();
  answers.insert(answers.end(), {ACK, ACK, ACK});
  return answers;
}
}  // namespace

TEST(Controller_Link, The_Version_Comes_From_A_Whole_Answer_To_The_Read_Of_80) {
  for (const std::size_t answered : {81u, 80u, 2u, 0u}) {
    SCOPED_TRACE(answered);
    TScripted_UsbXpress usb;
    usb.Products = {"USBXpress Device"};
    usb.Answers = Bootloader_Answers();
    TBytes version(answered, 0xAA);
    if (answered >= 2) {
      version[0] = 0x03;
      version[1] = 0x02;
    }
    usb.Answers.insert(usb.Answers.end(), version.begin(), version.end());
    TVirtual_Clock clock;
    TVOK_Yeli chip{usb, clock};

    TRecording_Log log;
    const TIdentification identification = Identify_Controller(chip, log, BOOT_ENTRY_SETTLED);

    const TBytes read_request = {0x11, 0xEE, 0x08, 0x00, 0x3C, 0x02, 0x36, 0x50, 0xAF};
    EXPECT_TRUE(std::equal(read_request.begin(), read_request.end(), usb.Sent.end() - read_request.size()));
    EXPECT_EQ(identification.Stage, answered == 81 ? STAGE_DONE : STAGE_NO_VERSION);
    if (answered == 81) {
      EXPECT_EQ(identification.Major, 2);
      EXPECT_EQ(identification.Minor, 3);
    }
    EXPECT_EQ(chip.CP_State, CP_CLOSE);
    EXPECT_EQ(usb.Calls.back(), "close");
  }
}

// Before the program lets go of the port: a chip it left in its bootloader is restarted into its
// application with the port open (reopened at 8N1 if need be), RTS released before the reset pulse.
TEST(Controller_Link, Leaving_Restarts_A_Chip_Left_In_Its_Bootloader_While_The_Port_Is_Open) {
  using TCalls = std::vector<std::string>;
  const TCalls restart = {"modem", "flow rts=0 dtr=0", "modem", "flow rts=0 dtr=1", "modem", "flow rts=0 dtr=0"};
  const struct {
    const char* Name;
    bool In_Bootloader;
    TState Port;
    std::vector<std::string> Bridges;
    TSequence_Stage Stage;
    bool Reopened;
    bool Restarted;
  } cases[] = {
      {"left in the bootloader, port closed", true, CP_CLOSE, {"USBXpress Device"}, STAGE_DONE, true, true},
      {"left in the bootloader, port open", true, CP_OPEN, {"USBXpress Device"}, STAGE_DONE, false, true},
      {"running its application, port open", false, CP_ENABLED, {"USBXpress Device"}, STAGE_DONE, false, false},
      {"running its application, port closed", false, CP_CLOSE, {"USBXpress Device"}, STAGE_DONE, false, false},
      {"left in the bootloader, bridge gone", true, CP_CLOSE, {}, STAGE_NO_BRIDGE, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TScripted_UsbXpress usb;
    usb.Products = c.Bridges;
    TVirtual_Clock clock;
    TVOK_Yeli chip{usb, clock};
    chip.Bootloader_Started = c.In_Bootloader;
    chip.CP_State = c.Port;

    EXPECT_EQ(Leave_Running(chip), c.Stage);

    const auto flows =
        std::count_if(usb.Calls.begin(), usb.Calls.end(), [](const std::string& call) { return call.starts_with("flow"); });
    EXPECT_EQ(flows, c.Restarted ? 3 : 0);
    if (c.Restarted) {
      const auto first = std::find(usb.Calls.begin(), usb.Calls.end(), "modem");
      EXPECT_TRUE(std::equal(restart.begin(), restart.end(), first));
      EXPECT_EQ(clock.Now(), BOOT_RESET_PULSE);  // the quick restart: one short pulse
    }
    EXPECT_EQ(std::count(usb.Calls.begin(), usb.Calls.end(), "line 2048"), c.Reopened ? 1 : 0);  // 8N1
    const bool closes = c.Port != CP_CLOSE || c.Reopened;
    EXPECT_EQ(std::count(usb.Calls.begin(), usb.Calls.end(), "close"), closes ? 1 : 0);
    if (closes) {
      EXPECT_EQ(usb.Calls.back(), "close");
    }
    EXPECT_EQ(chip.Bootloader_Started, c.In_Bootloader && !c.Restarted);
    if (c.Stage == STAGE_DONE) {
      EXPECT_EQ(chip.CP_State, CP_CLOSE);
    }
  }
}
