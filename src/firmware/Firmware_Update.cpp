#include "firmware/Firmware_Update.h"

#include "bridge/Open_Link.h"

#include "firmware/Boot_Waits.h"
#include "firmware/Connect_Bootloader.h"
#include "firmware/TFirmUpdTrear.h"
#include "firmware/THex_Image.h"
#include "platform/Hex_Text.h"

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
constexpr const char* WRITER_FAILED = "The firmware writer failed: ";
constexpr const char* STOPPED = "Firmware update stopped";
constexpr const char* NO_BOOTLOADER = "The bootloader did not answer: the firmware was not written";
constexpr const char* WRITE_AGAIN = "Writing the firmware again at 38400 baud";

// How one attempt from the erase on ended.
enum TAttempt : std::uint8_t { ATTEMPT_WRITTEN, ATTEMPT_NOT_ERASED, ATTEMPT_NOT_WRITTEN, ATTEMPT_STOPPED, ATTEMPT_BROKEN };

// The block at fault; the update's outcome line comes once no attempt is left.
TAttempt Report(const TFirmUpdTrear& worker, TLog& log) {
  const TFlash_Outcome& outcome = worker.Chip_WriteFromFile();
  switch (outcome.Result) {
    case FLASH_VERIFIED: log.Add(VERIFY_OK); return ATTEMPT_WRITTEN;
    case FLASH_NOT_WRITTEN: log.Add(WRITE_ERROR_AT + Hex_Address(outcome.Address) + NO_ACKNOWLEDGEMENT); break;
    case FLASH_NOT_READ: log.Add(VERIFY_ERROR_AT + Hex_Address(outcome.Address) + NO_ANSWER); break;
    case FLASH_DIFFERENT: log.Add(VERIFY_ERROR_AT + Hex_Address(outcome.Address)); break;
    case FLASH_STOPPED: log.Add(STOPPED); return ATTEMPT_STOPPED;
    case FLASH_WRITER_FAILED: log.Add(WRITER_FAILED + worker.Failure()); return ATTEMPT_BROKEN;
  }
  return ATTEMPT_NOT_WRITTEN;
}

// Erases, then waits for the worker that writes and verifies `image`.
TAttempt Erase_And_Write(TSTM32& chip, TClock& clock, const THex_Image& image, const TUpdate_Request& request,
                         TLog& log, const TUpdate_Waiting& waiting) {
  if (!chip.Chip_Erase(1, 1, true)) {
    log.Add(CHIP_ERASE_FAIL);
    return ATTEMPT_NOT_ERASED;
  }
  log.Add(CHIP_ERASE_OK);
  log.Add(UPDATE_FIRMWARE);
  log.Add("");
  if (!chip.Chip_WriteFromFileThread(chip, image, request.Stop)) {
    log.Add(NO_WORKER);
    return ATTEMPT_BROKEN;
  }
  const TFirmUpdTrear& worker = *chip.FirmUpdTrear;
  for (TDuration next_dot = clock.Now(); !worker.Finished(); clock.Sleep(UPDATE_LOOK)) {
    if (clock.Now() >= next_dot) {
      log.Append(".");
      next_dot += UPDATE_DOT;
    }
    if (waiting) waiting(worker.Progress());
  }
  return Report(worker, log);
}

// A fast rate that fails on the way gets one more try at the safe rate, from a new reset on.
bool Write_Again_Safely(TSTM32& chip, TLog& log) {
  if (static_cast<std::uint32_t>(chip.BautRate) <= BOOT_BAUD_SAFE) return false;
  log.Add(WRITE_AGAIN);
  chip.BautRate = BOOT_BAUD_SAFE;
  chip.Set_BautRate();
  if (chip.Chip_Connect_Quick() == 0) return true;
  log.Add(NO_BOOTLOADER);
  return false;
}

// Nothing is erased unless the chip is known and the whole file is a sound image for its flash.
TUpdate_Outcome Update_In_Session(TSTM32& chip, TClock& clock, const TUpdate_Request& request, TLog& log,
                                  const TUpdate_Waiting& waiting) {
  if (!Connect_Bootloader(chip, log, BOOT_ENTRY_QUICK)) {
    log.Add(NO_BOOTLOADER);
    return UPDATE_NO_BOOTLOADER;
  }
  if (!chip.Known_Chip()) {
    log.Add("Unknown chip (product id " + chip.Product_Id() + "): its flash is not known, nothing was erased");
    return UPDATE_UNKNOWN_CHIP;
  }
  const TFlash_Range flash{chip.Flash_S_, chip.Flash_F_};
  const auto read = request.Text ? THex_Image::Parse(*request.Text, flash) : THex_Image::Read_File(request.File, flash);
  if (const auto* problem = std::get_if<THex_Problem>(&read)) {
    log.Add(FILE_ERROR);
    log.Add(problem->Text());
    return UPDATE_BAD_FILE;
  }
  if (Stop_Requested(request.Stop)) {
    log.Add(STOPPED);
    return UPDATE_CANCELLED;
  }
  const THex_Image& image = std::get<THex_Image>(read);
  TAttempt attempt = Erase_And_Write(chip, clock, image, request, log, waiting);
  if (attempt == ATTEMPT_NOT_WRITTEN && Write_Again_Safely(chip, log))
    attempt = Erase_And_Write(chip, clock, image, request, log, waiting);
  switch (attempt) {
    case ATTEMPT_WRITTEN: log.Add(UPDATE_FINISH); return UPDATE_WRITTEN;
    case ATTEMPT_NOT_ERASED: return UPDATE_FAILED;
    case ATTEMPT_STOPPED: log.Add(UPDATE_ERROR); return UPDATE_STOPPED;
    case ATTEMPT_NOT_WRITTEN:
    case ATTEMPT_BROKEN: break;
  }
  log.Add(UPDATE_ERROR);
  return UPDATE_FAILED;
}
}  // namespace

TUpdate_Result Update_Firmware(TSTM32& chip, TClock& clock, const TUpdate_Request& request, TLog& log,
                               const TUpdate_Waiting& waiting) {
  chip.BautRate = static_cast<std::int32_t>(request.Baud);
  TUpdate_Result result;
  if (const TSequence_Stage stage = Open_Link(chip, LINE_8E1); stage != STAGE_DONE) {
    Log_Open_Failure(chip, stage, log);
  } else {
    result.Outcome = Update_In_Session(chip, clock, request, log, waiting);
    result.Baud = static_cast<std::uint32_t>(chip.BautRate);
    chip.Chip_Disconnect_Quick();
    log.Add(CHIP_DISCONNECT);
    Close_Link(chip);
  }
  chip.BautRate = BOOT_BAUD_SAFE;
  return result;
}
