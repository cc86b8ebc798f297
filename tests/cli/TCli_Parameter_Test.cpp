// read, save, load, store, reset-filter and the cnf commands on the virtual board: the values that
// reach the controller and the files, and the refusals of bad files before the board is touched.
#include "TCli_Fixture.h"
#include "controller/Config_File.h"
#include "controller/Parameter_Protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fstream>

namespace {
QJsonArray Fields(const std::string& json) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()["fields"].toArray();
}

struct TCli_Parameters : TCli_Fixture {
  TSim_Board& Board = Attach();

  std::uint16_t Live(std::uint8_t id) { return Board.Live_Parameter(id).value_or(0xFFFF); }
  std::uint16_t Stored(std::uint8_t id) { return Board.Stored_Settings().at(id); }
  // The record the board holds now, as a save writes it.
  TVOK_Prop Saved() {
    EXPECT_EQ(Run_Cli({"save", Path("saved.cnf")}), 0) << Errors();
    TVOK_Prop prop;
    Read_Config_File(Path("saved.cnf"), prop);
    return prop;
  }
  std::string Cnf(const std::string& name, const TVOK_Prop& prop) {
    Write_Config_File(Path(name), prop);
    return Path(name);
  }
};
}  // namespace

TEST_F(TCli_Parameters, Read_Lists_All_33_Fields_In_Record_Order_With_Their_Units) {
  ASSERT_EQ(Run_Cli({"read", "--json"}), 0) << Errors();
  const QJsonArray fields = Fields(Output());
  ASSERT_EQ(fields.size(), 33);
  for (qsizetype i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i]["name"].toString(), VOK_PROP_FIELDS[i].Name);
  EXPECT_EQ(fields[0]["value"], 0x0203);
  EXPECT_EQ(fields[1].toObject(), (QJsonObject{{"name", "PWM_IN_0"}, {"value", Live(16)}, {"unit", "0.1 %"}}));
  EXPECT_EQ(fields[16]["unit"], "°C + 40");
  EXPECT_EQ(Board.Running(), SIM_RUN_APPLICATION);

  ASSERT_EQ(Run_Cli({"read"}), 0);
  EXPECT_NE(Output().find("\nPWM_IN_0            " + std::to_string(Live(16)) + "  0.1 %\n"), std::string::npos);
  EXPECT_NE(Output().find("\nmode                  0\n"), std::string::npos);
}

TEST_F(TCli_Parameters, Save_Then_Cnf_Show_Prints_The_Values_Saved) {
  const TVOK_Prop saved = Saved();
  EXPECT_EQ(Output(), "saved the controller's parameters to " + Path("saved.cnf") + "\n");
  EXPECT_EQ(std::filesystem::file_size(Path("saved.cnf")), 132u);
  EXPECT_EQ(saved.FirmW, 0x0203);
  for (const TParameter& setting : FULL_WRITE) {
    if (setting.Field == &TVOK_Prop::mode) continue;  // never reported by the controller
    EXPECT_EQ(saved.*setting.Field, Live(setting.Id)) << int{setting.Id};
  }

  ASSERT_EQ(Run_Cli({"cnf", "show", Path("saved.cnf"), "--json"}), 0);
  const QJsonArray fields = Fields(Output());
  ASSERT_EQ(fields.size(), 33);
  for (std::size_t i = 0; i < VOK_PROP_FIELDS.size(); ++i)
    EXPECT_EQ(fields[static_cast<qsizetype>(i)]["value"].toInt(), saved.*VOK_PROP_FIELDS[i].Member);
}

TEST_F(TCli_Parameters, Load_Sends_The_File_Reads_It_Back_And_Stores_It_When_Asked) {
  TVOK_Prop prop = Saved();
  prop.PWM_IN_0 = 700;
  prop.H_Lvl = 75;
  const std::string file = Cnf("new.cnf", prop);

  ASSERT_EQ(Run_Cli({"load", file}), 0) << Errors();
  EXPECT_EQ(Output(), "loaded " + file + " into the controller; a restart of the controller undoes it unless it "
                      "is stored (--store)\n");
  EXPECT_EQ(Live(16), 700);
  EXPECT_EQ(Stored(16), 200);

  ASSERT_EQ(Run_Cli({"load", file, "--store"}), 0) << Errors();
  EXPECT_EQ(Output(), "loaded " + file + " into the controller, and stored it permanently\n");
  EXPECT_EQ(Stored(16), 700);
  EXPECT_EQ(Stored(114), 75);

  ASSERT_EQ(Run_Cli({"read", "--json"}), 0);  // after the restart that every command makes
  EXPECT_EQ(Fields(Output()).at(1)["value"], 700);
}

TEST_F(TCli_Parameters, Store_Keeps_What_The_Controller_Holds) {
  EXPECT_EQ(Run_Cli({"store"}), 0) << Errors();
  EXPECT_EQ(Output(), "the controller stored its settings permanently\n");
  Board.Set_Silent(true);
  EXPECT_EQ(Run_Cli({"store"}), 1);
  EXPECT_EQ(Errors(),
            "yeli-cli: store: the controller's application did not answer: is firmware in its flash? ('yeli-cli "
            "identify' tells)\n");
}

TEST_F(TCli_Parameters, Reset_Filter_Sets_The_Running_Time_To_Zero) {
  TVOK_Prop prop = Saved();
  prop.Time = 500;
  ASSERT_EQ(Run_Cli({"load", Cnf("worn.cnf", prop), "--store"}), 0) << Errors();
  ASSERT_EQ(Stored(83), 500);

  ASSERT_EQ(Run_Cli({"reset-filter", "--store"}), 0) << Errors();
  EXPECT_EQ(Output(), "reset the filter running time from 500 to 0 (10 min), and stored it permanently\n");
  EXPECT_EQ(Stored(83), 0);
  EXPECT_EQ(Stored(16), 200);
}

// Nothing is sent for a file that the controller would not hold as it is.
TEST_F(TCli_Parameters, Bad_Configuration_Files_Are_Refused_Before_The_Board_Is_Touched) {
  TVOK_Prop too_big;
  too_big.H_Lvl = 70000;
  TVOK_Prop negative;
  negative.PWM_OUT_2 = -1;
  std::ofstream(Path("short.cnf"), std::ios::binary) << std::string(131, '\0');
  const std::pair<std::string, std::string> cases[] = {
      {Path("short.cnf"), Path("short.cnf") + " holds 131 bytes; a configuration file holds 132"},
      {Path("missing.cnf"), "cannot read " + Path("missing.cnf") + ": No such file or directory"},
      {Folder.Path().string(), "cannot read " + Folder.Path().string() + ": Is a directory"},
      {Cnf("big.cnf", too_big), Path("big.cnf") + ": H_Lvl = 70000 does not fit the controller's 0 to 65535"},
      {Cnf("negative.cnf", negative),
       Path("negative.cnf") + ": PWM_OUT_2 = -1 does not fit the controller's 0 to 65535"},
  };
  for (const auto& [file, message] : cases) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Run_Cli({"load", file}), 2);
    EXPECT_EQ(Errors(), "yeli-cli: load: " + message + "\n");
  }
  EXPECT_TRUE(Board.Wire_Log(SIM_TO_BOARD).empty());
  EXPECT_EQ(Run_Cli({"cnf", "show", Path("short.cnf")}), 2);
  EXPECT_EQ(Errors(), "yeli-cli: cnf show: " + cases[0].second + "\n");
}

TEST_F(TCli_Parameters, Save_To_A_Path_That_Cannot_Be_Written_Is_A_File_Error) {
  EXPECT_EQ(Run_Cli({"save", Path("no/such/folder/a.cnf")}), 2);
  EXPECT_EQ(Errors(), "yeli-cli: save: cannot write " + Path("no/such/folder/a.cnf") + ": No such file or directory\n");
}

TEST_F(TCli_Parameters, Cnf_Diff_Names_The_Fields_That_Differ) {
  TVOK_Prop a;
  a.PWM_IN_0 = 500;
  TVOK_Prop b = a;
  b.PWM_IN_0 = 700;
  b.Cur_S = 3;
  const std::string first = Cnf("a.cnf", a);
  const std::string second = Cnf("b.cnf", b);
  ASSERT_EQ(Run_Cli({"cnf", "diff", first, second}), 0);
  EXPECT_EQ(Output(), "PWM_IN_0: 500 -> 700 (0.1 %)\nCur_S: 0 -> 3\n");
  ASSERT_EQ(Run_Cli({"cnf", "diff", first, second, "--json"}), 0);
  const QJsonObject diff = QJsonDocument::fromJson(QByteArray::fromStdString(Output())).object();
  EXPECT_EQ(diff["equal"], false);
  EXPECT_EQ(diff["differences"][0].toObject(),
            (QJsonObject{{"name", "PWM_IN_0"}, {"a", 500}, {"b", 700}, {"unit", "0.1 %"}}));
  ASSERT_EQ(Run_Cli({"cnf", "diff", first, first}), 0);
  EXPECT_EQ(Output(), first + " and " + first + " hold the same 33 values\n");
}
