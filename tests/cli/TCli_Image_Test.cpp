// image show: a firmware image file checked as flash checks it, without a device, and what it holds.
#include "TCli_Fixture.h"
#include "support/TTest_Application.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fstream>

using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;

QJsonObject Json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

struct TCli_Image : TCli_Fixture {
  std::string Write_Hex(const std::string& name, const std::string& text) {
    std::ofstream(Path(name)) << text;
    return Path(name);
  }
};
}  // namespace

TEST_F(TCli_Image, Shows_The_Range_Blocks_Version_And_Vector_Table_Of_An_Application) {
  const std::string file = Write_Hex("img.hex", Data_Records(FLASH_START, Application_Of_Size(2, 7, 64 * 1024), 16) + END);
  ASSERT_EQ(Run_Cli({"image", "show", file, "--json"}), 0) << Errors();
  const QJsonObject image = Json(Output());
  EXPECT_EQ(image["version"], "2.7");
  EXPECT_EQ(image["ranges"].toArray(),
            (QJsonArray{QJsonObject{{"start", qint64{FLASH_START}}, {"end", qint64{FLASH_START + 0x10000}}}}));
  EXPECT_EQ(image["data_bytes"], 65536);
  EXPECT_EQ(image["blocks"], 256);
  EXPECT_EQ(image["family"], "F1 Medium-density");
  EXPECT_EQ(image["vector_table"].toObject(),
            (QJsonObject{{"stack_pointer", qint64{0x20005000}}, {"reset_handler", qint64{0x08000131}},
                         {"application", true}}));
  EXPECT_EQ(Errors(), "");
  EXPECT_TRUE(Bus.Board_Count() == 0);  // no device was asked for

  ASSERT_EQ(Run_Cli({"image", "show", file}), 0);
  EXPECT_EQ(Output(), "file:         " + file +
                          "\n"
                          "for:          F1 Medium-density, flash 0x08000000-0x08020000\n"
                          "range:        0x08000000-0x08010000 (65536 bytes)\n"
                          "data bytes:   65536\n"
                          "blocks:       256 of up to 256 bytes\n"
                          "version:      2.7\n"
                          "vectors:      stack pointer 0x20005000, reset handler 0x08000131\n");
}

TEST_F(TCli_Image, Doubts_Are_Warnings_And_A_Broken_File_Is_Refused_As_Flash_Refuses_It) {
  TBytes no_thumb = Application_Image(2, 7);
  no_thumb[4] = 0x30;  // the reset handler 0x08000130: an even address
  const TBytes application = Application_Image(2, 7);
  const struct {
    const char* Name;
    std::string Hex;
    std::vector<std::string> Options;
    int Status;
    std::string Errors;  // after the file's name
  } cases[] = {
      {"data without vectors or version", Data_Records(FLASH_START + 0x8000, Pattern(64), 16) + END, {}, 0,
       ": no firmware version at 0x08003C02: the controller will identify as not programmed\n"
       "yeli-cli: image show: warning: FILE: no vector table at 0x08000000: the chip will not start it\n"},
      {"a reset handler without the Thumb bit", Data_Records(FLASH_START, no_thumb, 16) + END, {}, 0,
       ": the vector table does not look like an application for F1 Medium-density: the reset handler "
       "0x08000130 has no Thumb bit\n"},
      {"a stack above a smaller chip's RAM", Data_Records(FLASH_START, application, 16) + END,
       {"--family", "medium-density-vl"}, 0,
       ": the vector table does not look like an application for F1 Medium-density VL: the stack pointer "
       "0x20005000 lies outside its RAM 0x20000200-0x20002000\n"},
      {"outside the chip's flash", Data_Records(FLASH_START + 0x20000, Pattern(16), 16) + END, {}, 2,
       ": line 2: data at 0x08020000 to 0x0802000F lie outside the flash, 0x08000000 to 0x0801FFFF\n"},
      {"a checksum", ":0400000001020304F0\n" + END, {}, 2, ": line 1: checksum mismatch\n"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.Name);
    const std::string file = Write_Hex("doubt.hex", test.Hex);
    std::vector<std::string> arguments = {"image", "show", file};
    arguments.insert(arguments.end(), test.Options.begin(), test.Options.end());
    EXPECT_EQ(Run_Cli(arguments), test.Status);
    std::string expected = test.Errors;
    for (std::size_t at = expected.find("FILE"); at != std::string::npos; at = expected.find("FILE")) expected.replace(at, 4, file);
    EXPECT_EQ(Errors(), std::string(test.Status == 0 ? "yeli-cli: image show: warning: " : "yeli-cli: image show: ") +
                            file + expected);
    EXPECT_EQ(Output().empty(), test.Status != 0);
  }
}
