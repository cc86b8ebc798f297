// flash: a firmware image checked in full, then erased, written and verified through the
// bootloader by the same update the program tab runs.
#include "cli/TCli_Commands.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "cli/TCli_Files.h"
#include "cli/TCli_Text.h"
#include "firmware/TFirmUpdTrear.h"
#include "firmware/TFirmware_Update.h"

#include <iomanip>

namespace {
// Every address a record can give; the chip's own flash is checked once it is identified.
constexpr TFlash_Range ANY_ADDRESS = {0, 0xFFFFFFFF};

// Why a worker's outcome is no verified image.
std::string Write_Failure(const TFirmUpdTrear& worker) {
  const TFlash_Outcome& outcome = worker.Chip_WriteFromFile();
  if (worker.Progress().Total == 0) return "the firmware writer could not be started";
  switch (outcome.Result) {
    case FLASH_NOT_WRITTEN: return "the chip did not acknowledge the write at " + Hex32(outcome.Address);
    case FLASH_NOT_READ: return "the chip did not answer the read-back at " + Hex32(outcome.Address);
    case FLASH_DIFFERENT: return "the flash differs from the image at " + Hex32(outcome.Address);
    case FLASH_VERIFIED: break;
  }
  return {};
}
}  // namespace

void Run_Flash(TCli_Context& context) {
  const std::string& file = context.Arguments[0];
  auto read = THex_Image::Read_File(file, ANY_ADDRESS);
  if (const auto* problem = std::get_if<THex_Problem>(&read)) Fail(EXIT_BAD_INPUT, Hex_File_Problem(file, *problem));
  const THex_Image& image = std::get<THex_Image>(read);

  TCli_Device device(context);
  device.Require_Usbxpress_Bridge();
  device.Identify();
  device.Require_Known_Flash();
  TSTM32& chip = device.Controller();
  if (image.First_Address() < chip.Flash_S_ || image.End_Address() > chip.Flash_F_)
    Fail(EXIT_BAD_INPUT, file + ": the image spans " + Hex32(image.First_Address()) + "-" + Hex32(image.End_Address()) +
                             ", outside this chip's flash " + Hex32(chip.Flash_S_) + "-" + Hex32(chip.Flash_F_));

  const TDuration start = context.Clock.Now();
  TProgress_Display progress(context.Err, context.Progress_Style(), "flash");
  device.Log().Clear();
  const TUpdate_End end = Update_Firmware(chip, context.Clock, file, device.Log(), [&](const TFlash_Progress& counts) {
    progress.Show(counts.Done, counts.Total);
  });
  if (chip.FirmUpdTrear) progress.Show(chip.FirmUpdTrear->Progress().Done, chip.FirmUpdTrear->Progress().Total);
  progress.Finish();
  if (end == UPDATE_NOT_CONNECTED)
    Fail(EXIT_DEVICE, "the bridge could not be opened again for the update (" + Joined(device.Log().Lines()) + ")");
  if (!chip.FirmUpdTrear)
    Fail(EXIT_DEVICE, "the update stopped before writing (" + Joined(device.Log().Lines()) + ")");
  if (const std::string failure = Write_Failure(*chip.FirmUpdTrear); !failure.empty())
    Fail(EXIT_DEVICE, failure + "; the flash is not a whole image now: run flash again");

  const double seconds = std::chrono::duration<double>(context.Clock.Now() - start).count();
  context.Out << "wrote and verified " << image.Data_Size() << " bytes at " << Hex32(image.First_Address()) << "-"
              << Hex32(image.End_Address()) << " in " << std::fixed << std::setprecision(1) << seconds << " s\n";
}
