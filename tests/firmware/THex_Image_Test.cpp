#include "firmware/THex_Image.h"
#include "support/THex_Text.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {
constexpr TFlash_Range FLASH{0x08000000, 0x08020000};

const std::string LINEAR_0800 = Record(0, 0x04, {0x08, 0x00});

THex_Image Parsed(const std::string& text) {
  auto parsed = THex_Image::Parse(text, FLASH);
  if (auto* problem = std::get_if<THex_Problem>(&parsed)) ADD_FAILURE() << problem->Text();
  return std::get<THex_Image>(std::move(parsed));
}

std::vector<std::uint8_t> Bytes(const THex_Image& image, std::uint32_t address, std::size_t count) {
  std::vector<std::uint8_t> out(count);
  image.Copy(address, out.data(), count);
  return out;
}
}  // namespace

TEST(THex_Image, Places_Data_By_Linear_Address_Across_64_KiB) {
  const THex_Image image = Parsed(LINEAR_0800 + Record(0xFFFE, 0x00, {1, 2, 3, 4}) + Record(0, 0x04, {0x08, 0x01}) +
                                  Record(0x0002, 0x00, {5}) + Record(0, 0x05, {0x08, 0, 0, 0}) + END);
  EXPECT_EQ(image.First_Address(), 0x0800FFFEu);
  EXPECT_EQ(image.End_Address(), 0x08010003u);
  EXPECT_EQ(image.Data_Size(), 5u);
  EXPECT_EQ(Bytes(image, 0x0800FFFD, 7), (std::vector<std::uint8_t>{0xFF, 1, 2, 3, 4, 5, 0xFF}));
}

TEST(THex_Image, Segment_Addresses_Wrap_Within_Their_64_KiB) {
  // Segment addresses reach 1 MiB only, so this image is for a part with flash from 0.
  auto parsed = THex_Image::Parse(Record(0, 0x02, {0x10, 0x00}) + Record(0xFFFF, 0x00, {0xA1, 0xA2}) + END,
                                  TFlash_Range{0, 0x100000});
  const THex_Image& image = std::get<THex_Image>(parsed);
  EXPECT_EQ(Bytes(image, 0x1FFFF, 1), std::vector<std::uint8_t>{0xA1});
  EXPECT_EQ(Bytes(image, 0x10000, 1), std::vector<std::uint8_t>{0xA2});
}

TEST(THex_Image, Accepts_Lower_Case_Crlf_And_Blank_Lines) {
  std::string text = LINEAR_0800 + "\r\n" + Record(0x10, 0x00, {0xAB, 0xCD}) + END;
  for (auto& c : text) c = static_cast<char>(std::tolower(c));
  EXPECT_EQ(Bytes(Parsed(text), 0x08000010, 2), (std::vector<std::uint8_t>{0xAB, 0xCD}));
}

struct TBad_File {
  const char* Name;
  std::string Text;
  const char* Problem;
};

// ctest names each case by what gtest prints of its parameter: the case's name, not its bytes.
void PrintTo(const TBad_File& c, std::ostream* out) { *out << c.Name; }

class THex_Refuses : public testing::TestWithParam<TBad_File> {};

TEST_P(THex_Refuses, A_File_That_Is_Not_A_Sound_Image) {
  auto parsed = THex_Image::Parse(GetParam().Text, FLASH);
  ASSERT_TRUE(std::holds_alternative<THex_Problem>(parsed));
  EXPECT_EQ(std::get<THex_Problem>(parsed).Text(), GetParam().Problem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, THex_Refuses,
    testing::Values(
        TBad_File{"checksum", LINEAR_0800 + ":0400000001020304F1\n" + END, "line 2: checksum mismatch"},
        TBad_File{"no_start_mark", LINEAR_0800 + "0400000001020304F2\n" + END, "line 2: no start mark ':'"},
        TBad_File{"truncated", LINEAR_0800 + ":04000000010203\n" + END, "line 2: byte count 4 but 2 data bytes"},
        TBad_File{"odd_digits", LINEAR_0800 + ":0400000001020304F\n" + END, "line 2: odd number of hex digits"},
        TBad_File{"bad_digit", LINEAR_0800 + ":04000000010G0304F2\n" + END, "line 2: invalid hex digit 'G'"},
        TBad_File{"escape_as_digit", LINEAR_0800 + ":04000000010\x1b" "0304F2\n" + END, "line 2: invalid hex digit '\\x1B'"},
        TBad_File{"nul_as_digit", LINEAR_0800 + ":04000000010" + '\0' + "0304F2\n" + END,
                  "line 2: invalid hex digit '\\x00'"},
        TBad_File{"too_short", LINEAR_0800 + ":0000\n" + END, "line 2: record too short"},
        TBad_File{"unknown_type", LINEAR_0800 + Record(0, 0x06, {}) + END,
                  "line 2: record type 06 is not an Intel-HEX record type"},
        TBad_File{"no_end", LINEAR_0800 + Record(0, 0x00, {1}), "line 3: no end-of-file record"},
        TBad_File{"after_end", LINEAR_0800 + END + Record(0, 0x00, {1}), "line 3: data after the end-of-file record"},
        TBad_File{"no_data", LINEAR_0800 + END, "the file holds no data"},
        TBad_File{"outside_flash", LINEAR_0800 + Record(0, 0x04, {0x08, 0x02}) + Record(0, 0x00, {1}) + END,
                  "line 3: data at 0x08020000 to 0x08020000 lie outside the flash, 0x08000000 to 0x0801FFFF"},
        TBad_File{"below_flash", Record(0x1000, 0x00, {1, 2}) + END,
                  "line 1: data at 0x00001000 to 0x00001001 lie outside the flash, 0x08000000 to 0x0801FFFF"},
        TBad_File{"overlap", LINEAR_0800 + Record(0x10, 0x00, {1, 2, 3, 4}) + Record(0x12, 0x00, {9}) + END,
                  "line 3: data at 0x08000012 given twice"},
        TBad_File{"overlap_ahead", LINEAR_0800 + Record(0x10, 0x00, {1, 2}) + Record(0x0E, 0x00, {9, 9, 9}) + END,
                  "line 3: data at 0x08000010 given twice"},
        TBad_File{"address_length", Record(0, 0x04, {0x08}) + END,
                  "line 1: extended linear address record with 1 data bytes instead of 2"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(THex_Image, A_File_That_Cannot_Be_An_Image_Is_Named) {
  const TTest_Folder folder;
  const std::string huge = (folder / "huge.hex").string();
  std::filesystem::resize_file((std::ofstream(huge), huge), 17 * 1024 * 1024);
  const std::pair<std::string, std::string> files[] = {
      {"/no/such/image.hex", "cannot open /no/such/image.hex: No such file or directory"},
      {huge, huge + " is too large for a firmware image (over 16 MiB)"},
  };
  for (const auto& [path, problem] : files) {
    auto parsed = THex_Image::Read_File(path, FLASH);
    ASSERT_TRUE(std::holds_alternative<THex_Problem>(parsed));
    EXPECT_EQ(std::get<THex_Problem>(parsed).Text(), problem);
  }
}
