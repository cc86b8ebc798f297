// The order of an image's blocks: an update stopped anywhere must leave the version bytes, and until
// the rest is in place the reset vectors, erased.
#include "firmware/Plan_Blocks.h"
#include "support/THex_Text.h"

#include <gtest/gtest.h>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;

THex_Image Image_Of(const std::string& text) {
  auto parsed = THex_Image::Parse(text, {FLASH_START, 0x08020000});
  if (auto* problem = std::get_if<THex_Problem>(&parsed)) ADD_FAILURE() << problem->Text();
  return std::get<THex_Image>(std::move(parsed));
}

std::vector<TBlock> Blocks(std::initializer_list<std::uint32_t> offsets, unsigned count = 256) {
  std::vector<TBlock> blocks;
  for (std::uint32_t offset : offsets) blocks.push_back({FLASH_START + offset, count});
  return blocks;
}
}  // namespace

TEST(Plan_Blocks, Vectors_Then_Version_Go_Last_And_Empty_Phases_Are_Left_Out) {
  struct TCase {
    const char* Name;
    std::string Hex;
    TBlock_Phases Expected;
  };
  const TCase cases[] = {
      {"vectors, body and version", Data_Records(FLASH_START, Pattern(0x3D00), 128) + END,
       [] {
         std::vector<TBlock> body;
         for (std::uint32_t at = 0x100; at < 0x3C00; at += 256) body.push_back({FLASH_START + at, 256});
         return TBlock_Phases{body, Blocks({0}), Blocks({0x3C00})};
       }()},
      {"no vectors, a version in the middle",
       Data_Records(FLASH_START + 0x3B00, Pattern(0x300), 32) + END, {Blocks({0x3B00, 0x3D00}), Blocks({0x3C00})}},
      {"vectors alone, a short tail padded to a word", Data_Records(FLASH_START, Pattern(10), 16) + END,
       {{{FLASH_START, 12}}}},
      {"neither: one phase", Data_Records(FLASH_START + 0x8000, Pattern(300), 16) + END,
       {{{FLASH_START + 0x8000, 256}, {FLASH_START + 0x8100, 44}}}},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    EXPECT_EQ(Plan_Blocks(Image_Of(test.Hex), FLASH_START), test.Expected);
  }
}
