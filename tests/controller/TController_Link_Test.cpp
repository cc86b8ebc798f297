// The version read of the identification byte for byte, with a scripted bridge: the same frame as
// the link supervisor has always sent, and an answer that stops short counts as no version.
#include "controller/TController_Link.h"
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
    EXPECT_EQ(identification.Stage, answered == 81 ? LINK_DONE : LINK_NO_VERSION);
    if (answered == 81) {
      EXPECT_EQ(identification.Major, 2);
      EXPECT_EQ(identification.Minor, 3);
    }
    EXPECT_EQ(chip.CP_State, CP_CLOSE);
    EXPECT_EQ(usb.Calls.back(), "close");
  }
}
