// identify, flash and read-flash on the virtual board: what they report, what they leave in the
// chip's flash, and their refusals of bad files and bad ranges before anything is erased.
#include "TCli_Fixture.h"
#include "support/THex_Text.h"
#include "support/TSrec_Image.h"
#include "support/TTest_Application.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <fstream>
#include <iterator>

using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::uint32_t FLASH_SIZE = 128 * 1024;

QJsonObject Json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

TBytes Read_Bytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct TCli_Bootloader : TCli_Fixture {
  std::string Write_Text(const std::string& name, const std::string& text) {
    std::ofstream(Path(name)) << text;
    return Path(name);
  }
  TBytes Flash(TSim_Board& board) { return board.Flash(FLASH_START, FLASH_SIZE); }
};
}  // namespace

TEST_F(TCli_Bootloader, Identify_Reports_The_Chip_And_Its_Firmware_And_Leaves_It_Running) {
  TSim_Board& board = Attach();
  ASSERT_EQ(Run_Cli({"--simulate=usbxpress", "identify", "--json"}), 0) << Errors();
  const QJsonObject identity = Json(Output());
  EXPECT_EQ(identity["chip"]["family"], "F1 Medium-density");
  EXPECT_EQ(identity["chip"]["product_id"], "0x0410");
  EXPECT_EQ(identity["firmware"].toObject(),
            (QJsonObject{{"programmed", true}, {"version", "2.3"}, {"major", 2}, {"minor", 3}, {"old", false}}));
  EXPECT_EQ(identity["memory"]["flash"].toObject(),
            (QJsonObject{
                {"start", qint64{FLASH_START}}, {"end", qint64{FLASH_START + FLASH_SIZE}}, {"page_size", 1024}}));
  EXPECT_EQ(Errors(), "");
  EXPECT_EQ(board.Running(), SIM_RUN_APPLICATION);

  ASSERT_EQ(Run_Cli({"identify"}), 0);
  EXPECT_EQ(Output(),
            "chip:          F1 Medium-density (product id 0x0410)\n"
            "bootloader:    2.2\n"
            "flash:         0x08000000-0x08020000, 128 KiB in 1 KiB pages\n"
            "ram:           0x20000200-0x20005000\n"
            "system memory: 0x1FFFF000-0x1FFFF800\n"
            "option bytes:  0x1FFFF800-0x1FFFF80F\n"
            "firmware:      2.3\n");
}

TEST_F(TCli_Bootloader, Identify_Warns_Of_Old_Or_Missing_Firmware) {
  const std::tuple<TSim_Factory_State, const char*, const char*> cases[] = {
      {SIM_FACTORY_OLD, "firmware:      2.0\n",
       "yeli-cli: warning: firmware 2.0 is old: update the controller to 2.3 or higher\n"},
      {SIM_FACTORY_BLANK, "firmware:      none (no version in flash: erased, or an update that did not finish)\n",
       "yeli-cli: warning: the controller holds no firmware version: write the firmware with 'yeli-cli flash "
       "FILE.hex'\n"}};
  for (const auto& [state, line, warning] : cases) {
    TCli_Runner cli;
    cli.Attach(state);
    EXPECT_EQ(cli.Run_Cli({"identify"}), 0);
    EXPECT_TRUE(cli.Output().ends_with(line)) << cli.Output();
    EXPECT_EQ(cli.Errors(), warning);
  }
}

TEST_F(TCli_Bootloader, A_Chip_Whose_Bootloader_Does_Not_Answer_Is_No_Controller) {
  Attach().Set_Silent(true);
  EXPECT_EQ(Run_Cli({"identify"}), 1);
  EXPECT_EQ(Errors(), "yeli-cli: identify: the controller's bootloader did not answer: is this a Yeli controller?\n");
  EXPECT_EQ(Output(), "");
}

TEST_F(TCli_Bootloader, Verbose_Shows_Every_Byte_On_The_Wire) {
  Attach();
  ASSERT_EQ(Run_Cli({"identify", "--verbose"}), 0);
  for (const char* line : {"wire: 8E1\n", "wire: RTS on, DTR on\n", "wire: > 7F\nwire: < 79\nwire: > 00 FF\n",
                           "wire: > 02 FD\nwire: < 79 01 04 10 79\n", "wire: > 08 00 3C 02 36\n", "log: Pid: EA61\n"})
    EXPECT_NE(Errors().find(line), std::string::npos) << line;
}

// The image comes from srec_cat, independent of this program; read-flash gives back its bytes.
TEST_F(TCli_Bootloader, Flash_Writes_A_100_KiB_Image_That_Read_Flash_Gives_Back) {
  TSim_Board& board = Attach();
  const TBytes image = Application_Of_Size(2, 5, 100 * 1024);
  const auto hex = Srec_Cat_Hex(image, FLASH_START, 16, Folder / "image.hex");
  if (!hex) GTEST_SKIP() << "srec_cat (package srecord) is not installed";

  ASSERT_EQ(Run_Cli({"flash", hex->string()}), 0) << Errors();
  EXPECT_TRUE(Output().starts_with("wrote and verified 102400 bytes at 0x08000000-0x08019000 in ")) << Output();
  EXPECT_TRUE(Errors().starts_with("flash: 0%\nflash: 1%\n")) << Errors().substr(0, 100);
  EXPECT_TRUE(Errors().ends_with("flash: 99%\nflash: 100%\n"));
  EXPECT_EQ(board.Running(), SIM_RUN_APPLICATION);
  EXPECT_EQ(board.Live_Parameter(255), 0x0205);

  ASSERT_EQ(Run_Cli({"read-flash", Path("flash.bin"), "--length", std::to_string(image.size())}), 0) << Errors();
  EXPECT_EQ(Read_Bytes(Path("flash.bin")), image);
  EXPECT_TRUE(Output().starts_with("read 102400 bytes from 0x08000000 into " + Path("flash.bin") + " in "));
  EXPECT_EQ(board.Running(), SIM_RUN_APPLICATION);
}

TEST_F(TCli_Bootloader, Read_Flash_Reads_All_Of_It_Or_The_Range_Asked_For) {
  TSim_Board& board = Attach();
  ASSERT_EQ(Run_Cli({"read-flash", Path("all.bin")}), 0) << Errors();
  EXPECT_EQ(Read_Bytes(Path("all.bin")), Flash(board));
  ASSERT_EQ(Run_Cli({"read-flash", Path("part.bin"), "--address", "0x08003C00", "--length", "300"}), 0);
  EXPECT_EQ(Read_Bytes(Path("part.bin")), board.Flash(0x08003C00, 300));
  ASSERT_EQ(Run_Cli({"read-flash", Path("end.bin"), "--address", "0x0801FF00"}), 0);
  EXPECT_EQ(Read_Bytes(Path("end.bin")).size(), 256u);
}

TEST_F(TCli_Bootloader, A_Terminal_Gets_A_Progress_Bar) {
  Attach();
  ASSERT_EQ(Run_Cli({"read-flash", Path("part.bin"), "--length", "2048"}, true), 0);
  EXPECT_TRUE(Errors().ends_with("\rread-flash [########################################] 100%\n")) << Errors();
  EXPECT_EQ(Errors().find("read-flash: "), std::string::npos);
}

// Nothing is erased for a file that is not a whole image of this chip's flash; a file that no STM32F1
// could take is refused before the controller is touched.
TEST_F(TCli_Bootloader, Bad_Images_Are_Refused_Before_The_Flash_Is_Erased) {
  TSim_Board& board = Attach();
  const TBytes before = Flash(board);
  const std::string good = Data_Records(FLASH_START, Pattern(64), 16);
  std::string corrupt = good + END;
  corrupt[corrupt.find('\n') + 12] ^= 1;  // a data digit of the second record
  const std::pair<std::string, std::string> cases[] = {
      {Path("missing.hex"), "cannot open " + Path("missing.hex") + ": No such file or directory"},
      {Write_Text("corrupt.hex", corrupt), Path("corrupt.hex") + ": line 2: checksum mismatch"},
      {Write_Text("open.hex", good), Path("open.hex") + ": line 6: no end-of-file record"},
      {Write_Text("ram.hex", Data_Records(0x20000000, Pattern(64), 16) + END),
       Path("ram.hex") + ": line 2: data at 0x20000000 to 0x2000000F lie outside the flash, 0x08000000 to 0x080FFFFF"},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    board.Clear_Wire_Log();
    EXPECT_EQ(Run_Cli({"flash", file}), 2);
    EXPECT_EQ(Errors(), "yeli-cli: flash: " + message + "\n");
    EXPECT_TRUE(board.Wire_Log(SIM_TO_BOARD).empty());
  }
  // Inside a larger chip's flash: refused once the chip is known, before the erase.
  const std::string large = Write_Text("large.hex", Data_Records(0x08030000, Pattern(64), 16) + END);
  EXPECT_EQ(Run_Cli({"flash", large}), 2);
  EXPECT_EQ(Errors(), "yeli-cli: flash: " + large +
                          ": the image spans 0x08030000-0x08030040, outside this chip's flash 0x08000000-0x08020000; "
                          "nothing was erased\n");
  EXPECT_EQ(Flash(board), before);
  EXPECT_EQ(board.Running(), SIM_RUN_APPLICATION);
}

// The update's session acknowledges the sync, Get and Get ID, the erase's two frames and three a block;
// the blocks at +0x100 to +0x300 go before the vectors' block.
TEST_F(TCli_Bootloader, A_Write_The_Chip_Refuses_Fails_At_38400_Baud_And_Is_Written_Again_From_115200) {
  TSim_Board& board = Attach();
  const TBytes data = Pattern(1024);
  const std::string image = Write_Text("image.hex", Data_Records(FLASH_START, data, 16) + END);
  board.Nack_Frame(3 + 2 + 2 * 3 + 1);  // the third block's command
  EXPECT_EQ(Run_Cli({"flash", image, "--baud", "38400"}), 1);
  EXPECT_EQ(Errors().substr(Errors().rfind("yeli-cli:")),
            "yeli-cli: flash: the chip did not acknowledge the write at 0x08000300; the flash holds no whole image "
            "now: run flash again\n");

  board.Nack_Frame(3 + 2 + 2 * 3 + 1);
  EXPECT_EQ(Run_Cli({"flash", image}), 0) << Errors();
  EXPECT_NE(Errors().find("yeli-cli: warning: the bootloader failed at 115200 baud and worked at 38400 baud"),
            std::string::npos);
  EXPECT_TRUE(Output().ends_with(" at 38400 baud\n")) << Output();
  EXPECT_EQ(board.Flash(FLASH_START, 1024), data);
}

TEST_F(TCli_Bootloader, Read_Flash_Refuses_Ranges_Outside_The_Flash_And_Paths_It_Cannot_Write) {
  TSim_Board& board = Attach();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      // Usage errors: no STM32F1 has flash there, so the controller is not touched.
      {{"--address", "0x07FFFF00"}, "--address 0x07FFFF00 lies outside the flash of every STM32F1, 0x08000000-0x08100000"},
      {{"--address", "0x080FFF00", "--length", "512"},
       "--length 512 from 0x080FFF00 reaches past the flash of every STM32F1, 0x08000000-0x08100000"},
      {{"--length", "0"}, "--length 0 reads nothing"},
      // Outside this chip's flash, which identification tells.
      {{"--address", "0x08020000"}, "--address 0x08020000 lies outside the flash 0x08000000-0x08020000"},
      {{"--address", "0x0801FF00", "--length", "257"},
       "--length 257 from 0x0801FF00 reaches past the flash 0x08000000-0x08020000"},
  };
  for (const auto& [options, message] : cases) {
    board.Clear_Wire_Log();
    std::vector<std::string> arguments = {"read-flash", Path("out.bin")};
    arguments.insert(arguments.end(), options.begin(), options.end());
    EXPECT_EQ(Run_Cli(arguments), 2);
    EXPECT_EQ(Errors(), "yeli-cli: read-flash: " + message + "\n");
    EXPECT_EQ(board.Wire_Log(SIM_TO_BOARD).empty(), message.find("every STM32F1") != std::string::npos ||
                                                       message.find("--length 0") != std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path())) << "no output file, nor a temporary one";
  }
  board.Clear_Wire_Log();
  EXPECT_EQ(Run_Cli({"read-flash", Path("no/such/folder/out.bin")}), 2);
  EXPECT_EQ(Errors(),
            "yeli-cli: read-flash: cannot write " + Path("no/such/folder/out.bin") + ": No such file or directory\n");
  EXPECT_TRUE(board.Wire_Log(SIM_TO_BOARD).empty());
}
