// What a firmware image holds where the controller looks: whether it gives every byte of a range,
// and the firmware version it will report once written (its bytes at 0x08003C02/03).
#pragma once

#include "firmware/THex_Image.h"

#include <cstdint>
#include <optional>
#include <string>

bool Holds_All(const std::vector<TFlash_Range>& ranges, std::uint32_t address, std::uint32_t count);

// "2.7"; none when the image holds no version bytes, or erased ones.
std::optional<std::string> Image_Version(const THex_Image& image);
