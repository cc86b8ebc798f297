#include "cli/Image_Version.h"

#include "cli/Cli_Text.h"
#include "firmware/Firmware_Version.h"

bool Holds_All(const std::vector<TFlash_Range>& ranges, std::uint32_t address, std::uint32_t count) {
  for (const TFlash_Range& range : ranges)
    if (address >= range.First && range.End - address >= count) return true;
  return false;
}

std::optional<std::string> Image_Version(const THex_Image& image) {
  std::uint8_t version[2];
  image.Copy(FIRMWARE_VERSION_ADDRESS, version, sizeof version);
  if (!Holds_All(image.Ranges(), FIRMWARE_VERSION_ADDRESS, sizeof version) || version[1] == FIRMWARE_ERASED)
    return std::nullopt;
  return Version_Number(version[1], version[0]);
}
