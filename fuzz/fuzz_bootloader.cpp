// Fuzz target: the program's side of the STM32 ROM bootloader protocol, on a scripted board whose
// answer bytes are the input: identification with the firmware version, then a whole firmware update
// of a small image at 115200 baud (its own connect, erase, write, read-back verify, and the second
// attempt at 38400). Whatever the board answers, the update ends with the chip restarted and the
// port closed; it reports success only after a good verify, and then the last attempt's Write Memory
// frames carried exactly the image's bytes at their addresses, each data byte once, and every
// read-back the program accepted equals the image.
#include "Fuzz_Support.h"
#include "controller/Controller_Session.h"
#include "firmware/Firmware_Update.h"
#include "platform/TVirtual_Clock.h"
#include "support/THex_Text.h"
#include "support/TRecording_Log.h"
#include "support/TScripted_UsbXpress.h"

#include <algorithm>
#include <map>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::size_t IMAGE_SIZE = 600;  // two whole blocks and a part
const std::vector<std::uint8_t> IMAGE = Pattern(IMAGE_SIZE);

std::filesystem::path Image_File() {
  const std::string text = Data_Records(FLASH_START, IMAGE, 16) + END;
  return Fuzz_File("image.hex", reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

std::size_t Count(const std::vector<std::string>& lines, const char* line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// The image's bytes from `address`, erased flash (0xFF) past its end.
std::uint8_t Image_At(std::uint32_t address) {
  const std::uint32_t offset = address - FLASH_START;
  return offset < IMAGE.size() ? IMAGE[offset] : 0xFF;
}

std::uint32_t Address_At(const std::vector<std::uint8_t>& sent, std::size_t at) {
  return std::uint32_t{sent[at]} << 24 | std::uint32_t{sent[at + 1]} << 16 | std::uint32_t{sent[at + 2]} << 8 |
         sent[at + 3];
}

// The frames after the last erase, which on success all completed. The command codes are those the
// board's Get gave the update's own session, as the program sends what it learned.
void Check_Last_Attempt(const TScripted_UsbXpress& usb, const TSTM32& chip) {
  const std::vector<std::uint8_t>& sent = usb.Sent;
  const std::vector<std::uint8_t> erase = {chip.Erace_, static_cast<std::uint8_t>(chip.Erace_ ^ 0xFF), 0xFF, 0x00};
  const auto last_erase = std::find_end(sent.begin(), sent.end(), erase.begin(), erase.end());
  Require(last_erase != sent.end(), "a successful update erased the flash");
  std::map<std::uint32_t, int> written;  // how often each address was written
  for (std::size_t at = static_cast<std::size_t>(last_erase - sent.begin()) + erase.size(); at < sent.size();) {
    Require(at + 9 <= sent.size(), "every frame of a successful update is whole");
    const std::uint32_t address = Address_At(sent, at + 2);
    const unsigned count = sent[at + 7] + 1u;
    if (sent[at] == chip.W_Mem_) {
      Require(at + 9 + count <= sent.size(), "a Write Memory frame is whole");
      for (unsigned i = 0; i < count; ++i) {
        Require(sent[at + 8 + i] == Image_At(address + i), "every byte written is the image's at its address");
        ++written[address + i];
      }
      at += 9 + count;
    } else {
      Require(sent[at] == chip.R_Mem_, "after the erase only Write Memory and Read Memory are sent");
      at += 9;
      std::vector<std::uint8_t> read_back;
      for (const auto& [sent_before, byte] : usb.Received)
        if (sent_before == at) read_back.push_back(byte);
      Require(read_back.size() == count + 1, "a read-back the program accepted came whole");
      for (unsigned i = 0; i < count; ++i)
        Require(read_back[1 + i] == Image_At(address + i), "every block read back equals the image");
    }
  }
  for (std::size_t i = 0; i < IMAGE.size(); ++i)
    Require(written[FLASH_START + static_cast<std::uint32_t>(i)] == 1, "every data byte is written exactly once");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path image = Image_File();
  TVirtual_Clock clock;
  TScripted_UsbXpress usb;
  usb.Products = {"USBXpress Device"};
  usb.Answers.assign(data, data + size);
  TSTM32 chip(usb, clock);

  TRecording_Log log;
  const TIdentification identification = Identify_Controller(chip, log, BOOT_ENTRY_SETTLED);
  Require(chip.CP_State == CP_CLOSE, "identification leaves the port closed");
  if (identification.Stage != STAGE_DONE) return 0;
  Require(chip.PID_M_ == 0x04, "only an STM32 of the F1 family is identified");

  log.Clear();
  const TUpdate_Outcome outcome = Update_Firmware(chip, clock, {image.string(), 115200}, log, nullptr).Outcome;
  Require(outcome != UPDATE_NOT_CONNECTED, "the scripted bridge opens");
  Require(chip.CP_State == CP_CLOSE, "the update leaves the port closed");
  Require(chip.BautRate == 38400, "the port is back at 38400 baud");
  Require(!log.Lines.empty() && log.Lines.back() == "Chip disconnect", "the update ends by restarting the chip");
  const std::size_t finished = Count(log.Lines, "Update firmware finish");
  Require(finished == (outcome == UPDATE_WRITTEN ? 1u : 0u), "success is reported once, and only as success");
  Require(Count(log.Lines, "Chip erase OK") <= 2, "at most one attempt more");
  if (outcome == UPDATE_WRITTEN) {
    Require(Count(log.Lines, "Verify firmware OK") >= 1, "success only after a good verify");
    Check_Last_Attempt(usb, chip);
  } else if (Count(log.Lines, "Chip erase OK") == 0) {
    Require(finished == 0, "no success without an erase");
  }
  return 0;
}
