#include "TDemo_Fixture.h"

#include "controller/Config_File.h"

#include <unistd.h>

#include <climits>
#include <fstream>

namespace fs = std::filesystem;

namespace {
class TDemo_Files : public TDemo_Fixture {
protected:
  fs::path Folder = fs::temp_directory_path() / ("yeli-demo-" + std::to_string(::getpid()) + "-" +
                                                 testing::UnitTest::GetInstance()->current_test_info()->name());
  TDemo_Files() { fs::create_directories(Folder); }
  ~TDemo_Files() override { fs::remove_all(Folder); }

  QString File(const char* name) const { return QString::fromStdString((Folder / name).string()); }
  void Save_As(const QString& file) {
    Dialogs.File_Answers = {file};
    Hot_Key(0);
  }
  void Open(const QString& file) {
    Dialogs.File_Answers = {file};
    Hot_Key(1);
  }
  QSlider* Slider(const char* name) const { return Widget<QSlider>(name); }
};

constexpr const char* STORED_SLIDERS[] = {"TrackBar15", "TrackBar14", "TrackBar12", "TrackBar13",
                                          "TrackBar20", "TrackBar19", "TrackBar17", "TrackBar18",
                                          "TrackBar16", "TrackBar21", "TrackBar22", "TrackBar25"};
}  // namespace

TEST_F(TDemo_Files, Save_Writes_The_Shown_Settings_As_One_132_Byte_Record) {
  Save_As(File("demo.cnf"));
  EXPECT_EQ(fs::file_size(Folder / "demo.cnf"), 132u);
  TVOK_Prop saved;
  Read_Config_File(Folder / "demo.cnf", saved);
  TVOK_Prop expected;
  expected.PWM_IN_1 = expected.PWM_OUT_1 = 400;
  expected.PWM_IN_2 = expected.PWM_OUT_2 = 700;
  expected.PWM_IN_3 = expected.PWM_OUT_3 = 1000;
  expected.PWM_IN_F = expected.PWM_OUT_F = 1000;
  expected.T_Off = 3;
  expected.H_Lvl = 60;
  expected.L_Time = 8760;
  EXPECT_EQ(saved, expected);
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(TDemo_Files, Open_Gives_Back_What_Was_Saved_And_Carries_The_Other_Fields_Through) {
  TVOK_Prop loaded;
  loaded.PWM_IN_H = 123;  // not shown on the page, but kept for the next save
  loaded.MAX_DIFF = -7;
  loaded.L_Time = 600;
  Write_Config_File(Folder / "loaded.cnf", loaded);
  Open(File("loaded.cnf"));

  const int positions[] = {7, 13, 29, 41, 53, 61, 77, 89, 97, 100, 17, 43};
  for (std::size_t i = 0; i < std::size(STORED_SLIDERS); ++i) Slider(STORED_SLIDERS[i])->setValue(positions[i]);
  Widget<QLineEdit>("FilterTimeAlarm")->setText("4321");
  Save_As(File("round.cnf"));

  for (const char* name : STORED_SLIDERS) Slider(name)->setValue(0);
  Widget<QLineEdit>("FilterTimeAlarm")->setText("0");
  Open(File("round.cnf"));
  for (std::size_t i = 0; i < std::size(STORED_SLIDERS); ++i)
    EXPECT_EQ(Slider(STORED_SLIDERS[i])->value(), positions[i]) << STORED_SLIDERS[i];
  EXPECT_EQ(Widget<QLineEdit>("FilterTimeAlarm")->text(), "4321");
  EXPECT_EQ(Demo().State.Filter_Time, 8760);  // until "Filter" is pressed
  EXPECT_EQ(Demo().Demo_Prop.PWM_IN_H, 123);
  EXPECT_EQ(Demo().Demo_Prop.MAX_DIFF, -7);
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(TDemo_Files, Open_Truncates_And_Clamps_Every_Value_Into_Its_Slider) {
  const struct {
    const char* Name;
    std::int32_t TVOK_Prop::*Field;
    std::int32_t Value;
    const char* Slider;
    int Position;
    const char* Label;
    const char* Text;
  } cases[] = {
      {"PWM_IN_1 405", &TVOK_Prop::PWM_IN_1, 405, "TrackBar14", 59, "Label44", "41%"},
      {"PWM_OUT_3 -5", &TVOK_Prop::PWM_OUT_3, -5, "TrackBar18", 100, "Label57", "0%"},
      {"PWM_OUT_2 1995", &TVOK_Prop::PWM_OUT_2, 1995, "TrackBar17", 0, "Label56", "100%"},
      {"PWM_IN_0 lowest", &TVOK_Prop::PWM_IN_0, INT32_MIN, "TrackBar15", 100, "Label43", "0%"},
      {"PWM_IN_F highest", &TVOK_Prop::PWM_IN_F, INT32_MAX, "TrackBar16", 0, "Label49", "100%"},
      {"H_Lvl 20", &TVOK_Prop::H_Lvl, 20, "TrackBar25", 80, "Label82", "30%"},
      {"H_Lvl lowest", &TVOK_Prop::H_Lvl, INT32_MIN, "TrackBar25", 80, "Label78", "30%"},
      {"T_Off 40", &TVOK_Prop::T_Off, 40, "TrackBar22", 0, "Label73", "31\u00B0C"},
      {"T_Off lowest", &TVOK_Prop::T_Off, INT32_MIN, "TrackBar22", 30, "Label73", "1\u00B0C"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TVOK_Prop prop;
    prop.T_Off = 3;
    prop.H_Lvl = 60;
    prop.*c.Field = c.Value;
    Write_Config_File(Folder / "case.cnf", prop);
    Open(File("case.cnf"));
    EXPECT_EQ(Slider(c.Slider)->value(), c.Position);
    EXPECT_EQ(Widget<QLabel>(c.Label)->text(), QString(c.Text));
  }
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(TDemo_Files, A_Short_File_Is_Refused_By_Name_And_Changes_Nothing) {
  TVOK_Prop before;
  before.MAX_DIFF = 5;
  Write_Config_File(Folder / "before.cnf", before);
  Open(File("before.cnf"));
  std::ofstream(Folder / "short.cnf", std::ios::binary) << std::string(131, '\x11');
  Open(File("short.cnf"));
  EXPECT_EQ(Dialogs.Errors, QStringList{"Cannot read the configuration file " + File("short.cnf") + ": Read beyond end of file."});
  EXPECT_EQ(Demo().Demo_Prop, before);
  EXPECT_EQ(Slider("TrackBar14")->value(), 100);
  EXPECT_EQ(Widget<QLineEdit>("FilterTimeAlarm")->text(), "0");
}

TEST_F(TDemo_Files, Save_Fills_The_Record_Before_The_Dialog_Even_When_It_Ends_Without_A_File) {
  Widget<QLineEdit>("FilterTimeAlarm")->setText("abc");
  Hot_Key(0);
  EXPECT_EQ(Dialogs.Errors, QStringList{"'abc' is not a valid integer value."});
  EXPECT_TRUE(Dialogs.File_Dialogs.empty());
  EXPECT_EQ(Demo().Demo_Prop.PWM_IN_1, 400);
  EXPECT_EQ(Demo().Demo_Prop.L_Time, 0);

  Widget<QLineEdit>("FilterTimeAlarm")->setText("100");
  Slider("TrackBar14")->setValue(0);
  Save_As("");  // cancelled
  EXPECT_EQ(Demo().Demo_Prop.PWM_IN_1, 1000);
  EXPECT_EQ(Demo().Demo_Prop.L_Time, 100);
  EXPECT_TRUE(fs::is_empty(Folder));
}

TEST_F(TDemo_Files, A_File_That_Cannot_Be_Written_Is_Named_In_The_Error) {
  Save_As(File("missing-folder/demo.cnf"));
  EXPECT_EQ(Dialogs.Errors, QStringList{"Cannot write the configuration file " + File("missing-folder/demo.cnf") +
                                        ": No such file or directory."});
}
