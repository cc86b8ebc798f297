#include "firmware/TFirmware_Update.h"

#include "bridge/TLink_Open.h"

#include "firmware/Boot_Waits.h"
#include "firmware/Hex_Digits.h"
#include "firmware/TFirmUpdTrear.h"
#include "firmware/THex_Image.h"

namespace {
// The log's fixed lines, then the details this program adds.
constexpr const char* CHIP_ERASE_FAIL = "Chip erase fail";
constexpr const char* CHIP_ERASE_OK = "Chip erase OK";
constexpr const char* UPDATE_FIRMWARE = "Update firmware";
constexpr const char* UPDATE_FINISH = "Update firmware finish";
constexpr const char* UPDATE_ERROR = "Update firmware error";
constexpr const char* CHIP_DISCONNECT = "Chip disconnect";
constexpr const char* FILE_ERROR = "Firmware file error";
constexpr const char* VERIFY_OK = "Verify firmware OK";
constexpr const char* VERIFY_ERROR_AT = "Verify firmware error at ";
constexpr const char* WRITE_ERROR_AT = "Write firmware error at ";
constexpr const char* NO_ACKNOWLEDGEMENT = " (not acknowledged)";
constexpr const char* NO_ANSWER = " (no answer)";
constexpr const char* NO_WORKER = "The system could not start the firmware writer";

void Report(const TFlash_Outcome& outcome, TLog& log) {
  switch (outcome.Result) {
    case FLASH_VERIFIED:
      log.Add(VERIFY_OK);
      log.Add(UPDATE_FINISH);
      return;
    case FLASH_NOT_WRITTEN: log.Add(WRITE_ERROR_AT + Hex_Address(outcome.Address) + NO_ACKNOWLEDGEMENT); break;
    case FLASH_NOT_READ: log.Add(VERIFY_ERROR_AT + Hex_Address(outcome.Address) + NO_ANSWER); break;
    case FLASH_DIFFERENT: log.Add(VERIFY_ERROR_AT + Hex_Address(outcome.Address)); break;
  }
  log.Add(UPDATE_ERROR);
}

// Nothing is erased unless the whole file is a sound image for this chip's flash.
void Write_Checked_Image(TSTM32& chip, TClock& clock, const std::string& file, TLog& log,
                         const TUpdate_Waiting& waiting) {
  auto read = THex_Image::Read_File(file, {chip.Flash_S_, chip.Flash_F_});
  if (const auto* problem = std::get_if<THex_Problem>(&read)) {
    log.Add(FILE_ERROR);
    log.Add(problem->Text());
    return;
  }
  if (!chip.Chip_Erase(1, 1, true)) {
    log.Add(CHIP_ERASE_FAIL);
    return;
  }
  log.Add(CHIP_ERASE_OK);
  log.Add(UPDATE_FIRMWARE);
  log.Add("");
  if (!chip.Chip_WriteFromFileThread(chip, std::get<THex_Image>(std::move(read)))) {
    log.Add(NO_WORKER);
    log.Add(UPDATE_ERROR);
    return;
  }
  const TFirmUpdTrear& worker = *chip.FirmUpdTrear;
  while (!worker.Finished()) {
    log.Append(".");
    if (waiting) waiting(worker.Progress());
    clock.Sleep(UPDATE_POLL);
  }
  Report(worker.Chip_WriteFromFile(), log);
}
}  // namespace

TUpdate_End Update_Firmware(TSTM32& chip, TClock& clock, const std::string& file, TLog& log,
                            const TUpdate_Waiting& waiting) {
  if (const TLink_Stage stage = Open_Link(chip, LINE_8E1); stage != LINK_DONE) {
    Log_Open_Failure(chip, stage, log);
    return UPDATE_NOT_CONNECTED;
  }
  Write_Checked_Image(chip, clock, file, log, waiting);
  chip.Chip_Disconnect();
  log.Add(CHIP_DISCONNECT);
  chip.Close();
  chip.CP_State = CP_CLOSE;  // also when the bridge went away and the close failed
  return UPDATE_CHIP_RESTARTED;
}
