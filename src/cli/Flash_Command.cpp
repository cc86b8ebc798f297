// flash: a firmware image checked in full, then erased, written and verified through the
// bootloader by the same update the program tab runs, in a bootloader session of its own.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Files.h"
#include "cli/Cli_Text.h"
#include "cli/Image_Version.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "firmware/Firmware_Update.h"
#include "firmware/STM32F1_Families.h"
#include "firmware/TFirmUpdTrear.h"
#include "platform/Hex_Text.h"

#include <iomanip>
#include <memory>

namespace {
constexpr const char* WRITE_AGAIN = "; the flash holds no whole image now: run flash again";

// Why the last worker's outcome is no verified image.
std::string Write_Failure(const TSTM32& chip) {
  if (!chip.FirmUpdTrear) return "the chip did not erase its flash";
  const TFirmUpdTrear& worker = *chip.FirmUpdTrear;
  const TFlash_Outcome& outcome = worker.Chip_WriteFromFile();
  if (worker.Progress().Total == 0) return "the firmware writer could not be started";
  switch (outcome.Result) {
    case FLASH_NOT_WRITTEN: return "the chip did not acknowledge the write at " + Hex_Address(outcome.Address);
    case FLASH_NOT_READ: return "the chip did not answer the read-back at " + Hex_Address(outcome.Address);
    case FLASH_DIFFERENT: return "the flash differs from the image at " + Hex_Address(outcome.Address);
    case FLASH_WRITER_FAILED: return "the firmware writer failed: " + worker.Failure();
    case FLASH_STOPPED:
    case FLASH_VERIFIED: break;
  }
  return "the update failed";
}

// Every way the update can end but a verified image.
[[noreturn]] void Fail_Update(const TCli_Context& context, TCli_Device& device, const THex_Image& image,
                              TUpdate_Outcome outcome) {
  const TSTM32& chip = device.Controller();
  if (context.Record && !Leaves_Partial_Image(outcome)) context.Record->Bytes_Written = 0;
  switch (outcome) {
    case UPDATE_NOT_CONNECTED:
      Fail(EXIT_DEVICE, "the bridge could not be opened for the update (" + Joined(device.Log().Lines()) + ")");
    case UPDATE_NO_BOOTLOADER:
      Fail(EXIT_DEVICE, "the controller's bootloader did not answer: is this a Yeli controller?");
    case UPDATE_UNKNOWN_CHIP: Fail(EXIT_DEVICE, Unknown_Chip(chip) + "; nothing was erased");
    case UPDATE_BAD_FILE:
      Fail(EXIT_BAD_INPUT, context.Arguments[0] + ": the image spans " + Hex_Address(image.First_Address()) + "-" +
                               Hex_Address(image.End_Address()) + ", outside this chip's flash " + Hex_Address(chip.Flash_S_) +
                               "-" + Hex_Address(chip.Flash_F_) + "; nothing was erased");
    case UPDATE_CANCELLED: Fail(EXIT_STOPPED, "stopped by a signal before the erase; the flash is as it was");
    case UPDATE_STOPPED: Fail(EXIT_STOPPED, std::string("stopped by a signal") + WRITE_AGAIN);
    case UPDATE_FAILED:
    case UPDATE_WRITTEN: break;
  }
  Fail(EXIT_DEVICE, Write_Failure(chip) + WRITE_AGAIN);
}
}  // namespace

// Nothing is sent for a file that no STM32F1 could take; the chip's own flash is checked once the
// update has identified it, before the erase. The file is read here once, so that every board writes
// what was checked. A board whose update is recorded is identified first, for the version it held.
TBoard_Work Prepare_Flash(const TCli_Context& context) {
  const std::string& file = context.Arguments[0];
  auto read_text = THex_Image::Read_Text(file);
  if (const auto* problem = std::get_if<THex_Problem>(&read_text))
    Fail(EXIT_BAD_INPUT, Hex_File_Problem(file, *problem));
  const auto text = std::make_shared<const std::string>(std::move(std::get<std::string>(read_text)));
  auto read = THex_Image::Parse(*text, Largest_F1_Flash());
  if (const auto* problem = std::get_if<THex_Problem>(&read)) Fail(EXIT_BAD_INPUT, Hex_File_Problem(file, *problem));
  const auto image = std::make_shared<const THex_Image>(std::move(std::get<THex_Image>(read)));
  return [image, text](TCli_Context& context) {
    const std::string& file = context.Arguments[0];
    TCli_Device device(context);
    device.Require_Usbxpress_Bridge();
    if (context.Record) {
      context.Record->File = file;
      const TIdentification before = device.Identify();
      context.Record->Old_Version = Record_Version(before.Major, before.Minor);
    }
    TSTM32& chip = device.Controller();
    const TDuration start = context.Clock.Now();
    context.Phase("update");
    TProgress_Display progress = context.Progress("flash");
    device.Log().Clear();
    const TUpdate_Result result =
        Update_Firmware(chip, context.Clock, {file, device.Boot_Baud(), context.Stop, text}, device.Log(),
                        [&](const TFlash_Progress& counts) { progress.Show(counts.Done, counts.Total); });
    if (chip.FirmUpdTrear) progress.Show(chip.FirmUpdTrear->Progress().Done, chip.FirmUpdTrear->Progress().Total);
    progress.Finish();
    device.Warn_If_Slowed(result.Baud);
    if (result.Outcome != UPDATE_WRITTEN) Fail_Update(context, device, *image, result.Outcome);
    if (context.Record) {
      context.Record->New_Version = Image_Version(*image).value_or("none");
      context.Record->Bytes_Written = static_cast<std::uint32_t>(image->Data_Size());
    }

    const double seconds = std::chrono::duration<double>(context.Clock.Now() - start).count();
    context.Out << "wrote and verified " << image->Data_Size() << " bytes at " << Hex_Address(image->First_Address())
                << "-" << Hex_Address(image->End_Address()) << " in " << std::fixed << std::setprecision(1) << seconds
                << " s at " << result.Baud << " baud\n";
  };
}
