// Fuzz target: the program's side of the STM32 ROM bootloader protocol, on a scripted board whose
// answer bytes are the input: identification with the firmware version, then a whole firmware update
// of a small image (erase, write, read-back verify). Whatever the board answers, the update ends
// with the chip restarted and the port closed, and it reports success only after a good verify.
#include "Fuzz_Support.h"
#include "controller/TController_Link.h"
#include "firmware/TFirmware_Update.h"
#include "support/THex_Text.h"
#include "platform/TVirtual_Clock.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_UsbXpress.h"

#include <algorithm>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::size_t IMAGE_SIZE = 600;  // two whole blocks and a part

std::filesystem::path Image_File() {
  const std::string text = Data_Records(FLASH_START, Pattern(IMAGE_SIZE), 16) + END;
  return Fuzz_File("image.hex", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::size_t Count(const std::vector<std::string>& lines, const char* line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path image = Image_File();
  TVirtual_Clock clock;
  TScripted_UsbXpress usb;
  usb.Products = {"USBXpress Device"};
  usb.Answers.assign(data, data + size);
  TSTM32 chip(usb, clock);

  const TIdentification identification = Identify_Controller(chip);
  Require(chip.CP_State == CP_CLOSE, "identification leaves the port closed");
  if (identification.Stage != LINK_DONE) return 0;
  Require(chip.PID_M_ == 0x04, "only an STM32 of the F1 family is identified");

  TRecording_Log log;
  Require(Update_Firmware(chip, clock, image.string(), log, nullptr) == UPDATE_CHIP_RESTARTED,
          "the scripted bridge opens");
  Require(chip.CP_State == CP_CLOSE, "the update leaves the port closed");
  Require(!log.Lines.empty() && log.Lines.back() == "Chip disconnect", "the update ends by restarting the chip");
  const std::size_t finished = Count(log.Lines, "Update firmware finish");
  Require(finished == Count(log.Lines, "Verify firmware OK"), "success is reported only after a good verify");
  if (Count(log.Lines, "Chip erase OK") == 1)
    Require(finished + Count(log.Lines, "Update firmware error") == 1, "a started write has one outcome");
  else
    Require(finished == 0, "no success without an erase");
  return 0;
}
