// TSTM32's writing of a whole firmware image: on the calling thread, or on the worker thread that
// the update waits for.
#include "firmware/TSTM32.h"

#include "firmware/Flash_Image.h"
#include "firmware/TFirmUpdTrear.h"
#include "firmware/THex_Image.h"

// Here, where the worker's type is complete, as FirmUpdTrear needs for its release.
TSTM32::TSTM32(TUsbXpress& usb, TClock& clock) : TCP21xx(usb, clock) {}

TSTM32::~TSTM32() = default;

bool TSTM32::Chip_WriteFromFile(const std::string& adrr_file) {
  auto read = THex_Image::Read_File(adrr_file, Flash());
  if (!std::holds_alternative<THex_Image>(read)) return false;
  TFlash_Progress progress;
  return Flash_Image(*this, std::get<THex_Image>(read), progress).Result == FLASH_VERIFIED;
}

bool TSTM32::Chip_WriteFromFileThread(TSTM32& CSTM32, THex_Image image, const TStop_Flag* stop) {
  FirmUpdTrear.reset();  // the last worker has finished; its thread is joined here
  FirmUpdTrear = std::make_unique<TFirmUpdTrear>(CSTM32, std::move(image), CSTM32.Clock_, stop);
  return FirmUpdTrear->Start();
}
