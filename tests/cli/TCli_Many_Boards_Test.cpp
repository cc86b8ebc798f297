// yeli-cli on several virtual boards at once, made from --simulate=MODE:N and --sim-faults N:LIST as
// the program makes them and kept between runs in a state file: choosing boards, working on all of
// them at once, the report of each, and the usage refused before any board is touched.
#include "TCli_Fixture.h"
#include "support/THex_Text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;

std::string Contents(const std::filesystem::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

std::vector<QJsonObject> Report_Lines(const std::filesystem::path& path) {
  std::vector<QJsonObject> lines;
  std::istringstream text(Contents(path));
  for (std::string line; std::getline(text, line);)
    lines.push_back(QJsonDocument::fromJson(QByteArray::fromStdString(line)).object());
  return lines;
}

struct TCli_Many_Boards : testing::Test, TCli_Program {
  TTest_Folder Folder;
  const std::vector<std::uint8_t> Image = Application_Image(2, 9);

  std::string Path(const std::string& name) const { return (Folder / name).string(); }
  // On `boards` virtual boards kept in one state file from run to run.
  int Run(const std::string& boards, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--simulate=usbxpress:" + boards, "--sim-state", Path("boards.state")});
    return Run_Cli(arguments);
  }
  std::string Write_Image() const {
    const std::string path = Path("image.hex");
    std::ofstream(path) << Data_Records(FLASH_START, Image, 16) + END;
    return path;
  }
  std::string Read_Back(const std::string& device) {
    const std::string path = Path("back.bin");
    EXPECT_EQ(Run("4", {"--device", device, "read-flash", path, "--length", std::to_string(Image.size())}), 0)
        << Err.str();
    return Contents(path);
  }
};

TEST_F(TCli_Many_Boards, Four_Boards_Are_Listed_Flashed_At_Once_With_A_Record_Each_And_Read_Back) {
  ASSERT_EQ(Run("4", {"list", "--json"}), 0) << Err.str();
  const QJsonArray listed = QJsonDocument::fromJson(QByteArray::fromStdString(Out.str()))["bridges"].toArray();
  std::set<QString> paths, serials;
  for (const QJsonValue& bridge : listed) {
    paths.insert(bridge["usb_path"].toString());
    serials.insert(bridge["serial_number"].toString());
  }
  EXPECT_EQ(listed.size(), 4);
  EXPECT_EQ(paths.size(), 4u);
  EXPECT_EQ(serials.size(), 4u);

  ASSERT_EQ(Run("4", {"flash", "--all", Write_Image(), "--report", Path("r.jsonl")}), 0) << Err.str();
  const std::vector<QJsonObject> records = Report_Lines(Path("r.jsonl"));
  ASSERT_EQ(records.size(), 4u);
  std::set<QString> recorded;
  for (const QJsonObject& record : records) {
    recorded.insert(record["usb_path"].toString());
    EXPECT_EQ(record["command"].toString(), "flash");
    EXPECT_EQ(record["result"].toString(), "ok");
    EXPECT_EQ(record["old_version"].toString(), "2.3");
    EXPECT_EQ(record["new_version"].toString(), "2.9");
    EXPECT_EQ(record["bytes_written"].toInteger(), static_cast<qint64>(Image.size()));
    EXPECT_GT(record["seconds"].toDouble(), 0);
    EXPECT_TRUE(record["failure"].isNull());
  }
  EXPECT_EQ(recorded, paths);
  EXPECT_NE(Out.str().find("1-3: wrote and verified"), std::string::npos) << Out.str();
  EXPECT_NE(Err.str().find("1-2: flash 50%"), std::string::npos) << Err.str();  // a line per tenth
  EXPECT_NE(Err.str().find("flash: 4 of 4 boards done"), std::string::npos) << Err.str();

  EXPECT_EQ(Read_Back("2"), std::string(Image.begin(), Image.end()));
}

// Boards that work at once take about as long as one: each waits on its own wire only.
TEST_F(TCli_Many_Boards, Eight_Boards_Take_Little_Longer_Than_One) {
  const std::string image = Write_Image();
  const auto flash_time = [&](const std::string& boards) {
    std::filesystem::remove(Path("boards.state"));
    const TDuration start = Clock.Now();
    EXPECT_EQ(Run(boards, {"--all", "flash", image}), 0) << Err.str();
    return std::chrono::duration<double>(Clock.Now() - start).count();
  };
  const double one = flash_time("1");
  const double eight = flash_time("8");
  EXPECT_LT(eight, one * 1.2) << "one board " << one << " s, eight " << eight << " s";
}

TEST_F(TCli_Many_Boards, A_Failing_Board_Stops_No_Other_And_Its_Record_Says_Why) {
  const std::string image = Write_Image();
  ASSERT_EQ(Run("4", {"--sim-faults", "3:drop=1", "--all", "flash", image, "--report", Path("r.jsonl")}), 1);
  const std::vector<QJsonObject> records = Report_Lines(Path("r.jsonl"));
  ASSERT_EQ(records.size(), 4u);
  for (const QJsonObject& record : records) {
    SCOPED_TRACE(record["usb_path"].toString().toStdString());
    const bool third = record["usb_path"].toString() == "1-3";
    EXPECT_EQ(record["result"].toString(), third ? "failed" : "ok");
    EXPECT_EQ(record["failure"].isNull(), !third);
  }
  EXPECT_NE(Err.str().find("yeli-cli: flash: 1-3: "), std::string::npos) << Err.str();
  EXPECT_NE(Err.str().find("3 of 4 boards done; failed: 1-3"), std::string::npos) << Err.str();
  for (const char* device : {"0", "1", "3"}) EXPECT_EQ(Read_Back(device), std::string(Image.begin(), Image.end()));
}

TEST_F(TCli_Many_Boards, Mode_All_Follows_Each_Board_By_Its_Usb_Path_Until_It_Is_Back) {
  const std::vector<std::string> vcp = {"--simulate=vcp:3", "--sim-state", Path("boards.state")};
  const auto with = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), vcp.begin(), vcp.end());
    return Run_Cli(arguments);
  };
  ASSERT_EQ(with({"--all", "mode", "usbxpress"}), 0) << Err.str();
  for (const char* path : {"1-1", "1-2", "1-3"})
    EXPECT_NE(Out.str().find(std::string(path) + ": the bridge is in usbxpress mode now"), std::string::npos);
  ASSERT_EQ(with({"list", "--json", "--identify"}), 0) << Err.str();
  for (const QJsonValue& bridge : QJsonDocument::fromJson(QByteArray::fromStdString(Out.str()))["bridges"].toArray()) {
    EXPECT_EQ(bridge["mode"].toString(), "usbxpress");
    EXPECT_EQ(bridge["firmware"].toString(), "2.3");
  }
}

// A bridge is chosen by its serial device, its USB path or its index; one that is not there is a
// device failure, and without a choice several boards are refused as before.
TEST_F(TCli_Many_Boards, Device_Chooses_By_Serial_Device_Usb_Path_Or_Index) {
  for (const char* device : {"virtual:ttyUSB1", "1-2", "1"}) {
    SCOPED_TRACE(device);
    ASSERT_EQ(Run("3", {"--device", device, "identify", "--json", "--report", Path("r.jsonl")}), 0) << Err.str();
    EXPECT_EQ(Report_Lines(Path("r.jsonl")).back()["usb_path"].toString(), "1-2");
  }
  EXPECT_EQ(Run("3", {"--device", "1-9", "identify"}), 1);
  EXPECT_NE(Err.str().find("--device 1-9: no such bridge is attached"), std::string::npos) << Err.str();
  EXPECT_EQ(Run("3", {"identify"}), 1);
  EXPECT_NE(Err.str().find("several bridges are attached"), std::string::npos) << Err.str();
}

// A record that cannot be written is no success: the line's records would miss the board.
TEST_F(TCli_Many_Boards, A_Record_That_Cannot_Be_Written_Fails_The_Board) {
  EXPECT_EQ(Run("2", {"--device", "0", "identify", "--report", "/dev/full"}), 1);
  EXPECT_NE(Err.str().find("done, but its record could not be appended to /dev/full"), std::string::npos)
      << Err.str();
  EXPECT_EQ(Run("2", {"--all", "identify", "--report", "/dev/full"}), 1);
  EXPECT_NE(Err.str().find("0 of 2 boards done"), std::string::npos) << Err.str();
}

TEST_F(TCli_Many_Boards, Usage_And_File_Errors_Are_Refused_Before_Any_Board_Is_Touched) {
  const std::string image = Write_Image();
  const struct {
    std::vector<std::string> Arguments;
    std::string Error;
  } cases[] = {
      {{"--all", "read"}, "works on one bridge at a time: give --device once"},
      {{"--device", "0", "--device", "1", "read-flash", "x.bin"}, "works on one bridge at a time"},
      {{"--all", "--device", "0", "store"}, "--all and --device exclude each other"},
      {{"--all", "cnf", "show", "x.cnf"}, "--device and --all do not apply to this command"},
      {{"--report", Path("r.jsonl"), "read"}, "--report does not apply to this command"},
      {{"--identify", "store"}, "--identify does not apply to this command"},
      {{"--device", "0", "--device", "1-1", "store"}, "the bridge at USB 1-1 is chosen twice"},
      {{"--all", "flash", Path("missing.hex")}, "missing.hex"},
      {{"--all", "store", "--report", Path("no/such/folder/r.jsonl")}, "cannot append to"},
      {{"--sim-faults", "5:drop=1", "--all", "store"}, "there is no virtual board 5, only boards 1 to 4"},
      {{"--sim-faults", "0:drop=1", "--all", "store"}, "needs a board's number, counted from 1"},
  };
  for (const auto& [arguments, error] : cases) {
    SCOPED_TRACE(arguments.back());
    EXPECT_EQ(Run("4", arguments), 2) << Err.str();
    EXPECT_NE(Err.str().find(error), std::string::npos) << Err.str();
    EXPECT_EQ(Err.str().find("boards done"), std::string::npos) << Err.str();
  }
  Out.str("");
  Err.str("");
  for (const char* count : {"0", "33", "x"}) {
    EXPECT_EQ(Run_Yeli_Cli({std::string("--simulate=usbxpress:") + count, "list"}, Host), 2);
    EXPECT_NE(Err.str().find("--simulate=MODE:N attaches 1 to 32 boards"), std::string::npos) << Err.str();
  }
}
}  // namespace
