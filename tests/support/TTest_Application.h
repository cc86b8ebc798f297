// Firmware images for update tests: the virtual board's application of a given version, padded with
// data to a given length.
#pragma once

#include "platform/sim/Sim_Factory.h"
#include "support/THex_Text.h"

#include <cstdint>
#include <vector>

inline std::vector<std::uint8_t> Application_Of_Size(std::uint8_t major, std::uint8_t minor, std::size_t size) {
  std::vector<std::uint8_t> image = Application_Image(major, minor);
  const std::vector<std::uint8_t> filler = Pattern(size - image.size(), 3);
  image.insert(image.end(), filler.begin(), filler.end());
  return image;
}
