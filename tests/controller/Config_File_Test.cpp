#include "controller/Config_File.h"
#include "support/TTest_Folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <numeric>

namespace fs = std::filesystem;

namespace {
struct TConfig_File_Test : testing::Test {
  const TTest_Folder Test_Folder;
  const fs::path Folder = Test_Folder.Path();

  fs::path Write_Bytes(const char* name, std::size_t count) {
    std::vector<char> bytes(count);
    std::iota(bytes.begin(), bytes.end(), 1);
    std::ofstream(Folder / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(count));
    return Folder / name;
  }
};

TVOK_Prop Distinct_Values() {
  TVOK_Prop prop;
  for (std::size_t i = 0; i < VOK_PROP_FIELDS.size(); ++i) prop.*VOK_PROP_FIELDS[i].Member = 1000 * int(i) - 7;
  prop.T_O_IN = 65536 * 60;  // out of the controller's 16-bit range: stored unchanged
  prop.mode = -1;
  return prop;
}
}  // namespace

TEST_F(TConfig_File_Test, A_Record_Comes_Back_Field_For_Field_From_132_Bytes) {
  const TVOK_Prop saved = Distinct_Values();
  Write_Config_File(Folder / "a.cnf", saved);
  EXPECT_EQ(fs::file_size(Folder / "a.cnf"), 132u);
  TVOK_Prop read;
  Read_Config_File(Folder / "a.cnf", read);
  EXPECT_EQ(read, saved);
}

TEST_F(TConfig_File_Test, Fields_Are_Little_Endian_In_Table_Order) {
  TVOK_Prop prop;
  prop.FirmW = 0x0203;
  prop.PWM_IN_0 = 500;
  prop.mode = -2;
  const auto bytes = Encode_Config(prop);
  EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8)),
            (std::vector<std::uint8_t>{0x03, 0x02, 0, 0, 0xF4, 0x01, 0, 0}));
  EXPECT_EQ((std::vector<std::uint8_t>(bytes.end() - 4, bytes.end())),
            (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
}

TEST_F(TConfig_File_Test, Replaces_An_Existing_Longer_File) {
  const fs::path path = Write_Bytes("a.cnf", 500);
  Write_Config_File(path, Distinct_Values());
  EXPECT_EQ(fs::file_size(path), 132u);
  EXPECT_EQ(std::distance(fs::directory_iterator(Folder), fs::directory_iterator()), 1) << "no temporary file left";
}

// Another user may plant a link at a name the writer could pick; it must not lead the file elsewhere.
TEST_F(TConfig_File_Test, A_Link_Planted_Beside_The_File_Leads_Nowhere) {
  const fs::path victim = Write_Bytes("victim", 10);
  fs::create_symlink(victim, Folder / "a.cnf.part");
  Write_Config_File(Folder / "a.cnf", Distinct_Values());
  EXPECT_EQ(fs::file_size(victim), 10u);
  EXPECT_FALSE(fs::is_symlink(Folder / "a.cnf"));
  EXPECT_EQ(fs::file_size(Folder / "a.cnf"), 132u);
}

TEST_F(TConfig_File_Test, Reads_The_First_132_Bytes_Of_A_Longer_File) {
  TVOK_Prop prop;
  Read_Config_File(Write_Bytes("long.cnf", 133), prop);
  EXPECT_EQ(prop.FirmW, 0x04030201);
  EXPECT_EQ(prop.mode, static_cast<std::int32_t>(0x84838281));
}

TEST_F(TConfig_File_Test, A_Short_File_Is_Refused_And_Leaves_The_Record_Untouched) {
  TVOK_Prop prop = Distinct_Values();
  try {
    Read_Config_File(Write_Bytes("short.cnf", 131), prop);
    FAIL() << "a 131-byte file was accepted";
  } catch (const TFile_Error& error) {
    EXPECT_STREQ(error.what(), "Read beyond end of file");
  }
  EXPECT_EQ(prop, Distinct_Values());
}

TEST_F(TConfig_File_Test, File_Errors_Carry_The_System_Description) {
  TVOK_Prop prop;
  EXPECT_THROW(
      {
        try {
          Read_Config_File(Folder / "missing.cnf", prop);
        } catch (const TFile_Error& error) {
          EXPECT_STREQ(error.what(), "No such file or directory");
          throw;
        }
      },
      TFile_Error);
  EXPECT_THROW(Write_Config_File(Folder / "no-such-folder" / "a.cnf", prop), TFile_Error);
}
