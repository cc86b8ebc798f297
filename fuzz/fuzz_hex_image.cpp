// Fuzz target: the strict Intel-HEX reader. Any text is either refused, naming a line of the text
// and the reason, or gives an image whose data lie inside the flash it was checked against.
#include "Fuzz_Support.h"
#include "firmware/THex_Image.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {
constexpr TFlash_Range FLASH{0x08000000, 0x08020000};  // an STM32F1 of medium density
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto read = THex_Image::Parse(text, FLASH);
  if (const auto* problem = std::get_if<THex_Problem>(&read)) {
    Require(!problem->What.empty(), "a refusal says what is wrong");
    // A missing end record is missing after the last line.
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    Require(problem->Line <= lines + 1, "a refusal names a line of the text");
    return 0;
  }
  const THex_Image& image = std::get<THex_Image>(read);
  const std::uint32_t first = image.First_Address(), end = image.End_Address();
  Require(FLASH.First <= first && first < end && end <= FLASH.End, "the data lie inside flash");
  Require(image.Data_Size() >= 1 && image.Data_Size() <= end - first, "the data fit their address range");
  Require(image.Holds_Data(first, 1) && image.Holds_Data(end - 1, 1), "the first and last byte are data");
  Require(first == FLASH.First || !image.Holds_Data(FLASH.First, first - FLASH.First), "no data below the range");
  Require(end == FLASH.End || !image.Holds_Data(end, FLASH.End - end), "no data above the range");
  std::vector<std::uint8_t> bytes(end - first);
  image.Copy(first, bytes.data(), bytes.size());
  return 0;
}
