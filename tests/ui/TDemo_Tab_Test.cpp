#include "TDemo_Fixture.h"

#include <QPainter>

using namespace std::chrono_literals;

namespace {
class TDemo_Page : public TDemo_Fixture {};
}  // namespace

TEST_F(TDemo_Page, Lays_Out_Its_Sliders_With_Ranges_And_Initial_Positions) {
  const struct {
    const char* Name;
    int Minimum;
    int Maximum;
    int Position;
  } sliders[] = {{"TrackBar15", 0, 100, 100}, {"TrackBar14", 0, 100, 60}, {"TrackBar12", 0, 100, 30},
                 {"TrackBar13", 0, 100, 0},   {"TrackBar16", 0, 100, 0},  {"TrackBar24", 0, 100, 0},
                 {"TrackBar20", 0, 100, 100}, {"TrackBar19", 0, 100, 60}, {"TrackBar17", 0, 100, 30},
                 {"TrackBar18", 0, 100, 0},   {"TrackBar21", 0, 100, 0},  {"TrackBar30", 0, 100, 0},
                 {"TrackBar22", 0, 30, 28},   {"TrackBar25", 30, 80, 50}, {"TrackBar23", -40, 20, -20},
                 {"TrackBar26", 30, 80, 80}};
  for (const auto& s : sliders) {
    SCOPED_TRACE(s.Name);
    auto* slider = Widget<QSlider>(s.Name);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Vertical);
    EXPECT_TRUE(slider->invertedAppearance());  // the minimum at the top
    EXPECT_EQ(std::tuple(slider->minimum(), slider->maximum(), slider->value()),
              std::tuple(s.Minimum, s.Maximum, s.Position));
  }
}

TEST_F(TDemo_Page, Shows_Its_Captions_And_Start_Texts) {
  const std::pair<const char*, const char*> labels[] = {
      {"Label39", "S0"},  {"Label1", "SH"},    {"Label43", "0%"},     {"Label44", "40%"},   {"Label45", "70%"},
      {"Label46", "100%"}, {"Label2", "100%"}, {"Label54", "0%"},    {"Label32", "100%"},  {"Label47", "0rpm"},
      {"Label58", "0rpm"}, {"Label73", "3\u00B0C"}, {"Label78", "60%"}, {"Label67", "0 H"}, {"Label81", "30%"},
      {"Label82", "60%"}, {"Label63", "Bypass: "}, {"Label65", "Forse IN:"}, {"Label74", "Temp, \u00B0C"}};
  for (auto [name, text] : labels) EXPECT_EQ(Widget<QLabel>(name)->text(), QString(text)) << name;
  for (auto [name, title] : {std::pair{"GroupBox3", "Inflow Speed"}, {"GroupBox4", "Outflow Speed"},
                             {"GroupBox6", "Air Parameters"}, {"GroupBox8", "Current Status"},
                             {"GroupBox7", "Hardware Config"}, {"GroupBox5", "Control"}})
    EXPECT_EQ(Widget<QGroupBox>(name)->title(), QString(title)) << name;
  EXPECT_EQ(Widget<QLineEdit>("FilterTimeAlarm")->text(), "8760");
  EXPECT_TRUE(Widget<QCheckBox>("CheckBox2")->isChecked());
  EXPECT_FALSE(Widget<QCheckBox>("CheckBox3")->isChecked());
  EXPECT_EQ(Shown_Pictures(), (QStringList{"Image1", "Image2", "Image3", "Image4", "Image5", "Image6"}));
  EXPECT_EQ(Demo().State.Filter_Time, 8760);
}

TEST_F(TDemo_Page, First_Step_Shows_The_Status_With_Both_Fans_Standing) {
  Step();
  EXPECT_EQ(Widget<QLabel>("Label47")->text(), "0 Rpm");
  EXPECT_EQ(Widget<QLabel>("Label69")->text(), "Close");
  EXPECT_EQ(Widget<QLabel>("Label70")->text(), "3,0 V");
  EXPECT_EQ(Widget<QLabel>("Label68")->text(), "20\u00B0C");
  EXPECT_EQ(Widget<QLabel>("Label76")->text(), "3\u00B0C");
  EXPECT_EQ(Widget<QLabel>("Label71")->text(), "Open");
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar3")->value(), 0);
  EXPECT_FALSE(Form->Timer3->Enabled());
}

TEST_F(TDemo_Page, Speed_Pictures_Choose_One_Blue_Speed_And_The_Blue_One_Returns_To_Stand_By) {
  const struct {
    const char* Clicked;
    int Mode;
    QStringList Shown;
  } clicks[] = {
      {"Image1", 1, {"Image2", "Image3", "Image4", "Image5", "Image6", "Image7"}},
      {"Image2", 2, {"Image1", "Image3", "Image4", "Image5", "Image6", "Image8"}},
      {"Image8", 0, {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6"}},
      {"Image3", 3, {"Image1", "Image2", "Image4", "Image5", "Image6", "Image9"}},
      {"Image9", 0, {"Image1", "Image2", "Image3", "Image4", "Image5", "Image6"}},
  };
  for (const auto& click : clicks) {
    SCOPED_TRACE(click.Clicked);
    Click(Widget<TDemo_Picture>(click.Clicked));
    EXPECT_EQ(Demo().State.Demo_Mode, click.Mode);
    EXPECT_EQ(Shown_Pictures(), click.Shown);
  }
}

TEST_F(TDemo_Page, Speed_II_With_High_Humidity_Lifts_Both_Bars_To_SH_Within_One_Step) {
  Widget<QSlider>("TrackBar24")->setValue(10);  // inflow SH 90 %
  Widget<QSlider>("TrackBar30")->setValue(20);  // outflow SH 80 %
  Widget<QSlider>("TrackBar26")->setValue(40);  // humidity 70 %, above the level of 60 %
  Click(Widget<TDemo_Picture>("Image2"));
  Step();
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar3")->value(), 3240);
  EXPECT_EQ(Widget<QProgressBar>("ProgressBar4")->value(), 2880);
  EXPECT_EQ(Widget<QLabel>("Label47")->text(), "3240 Rpm");
  EXPECT_EQ(Widget<QLabel>("Label58")->text(), "2880 Rpm");
  EXPECT_EQ(Widget<QLabel>("Label81")->text(), "70%");
  EXPECT_TRUE(Form->Timer3->Enabled());
}

TEST_F(TDemo_Page, Slider_Labels_Follow_Their_Sliders) {
  const struct {
    const char* Slider;
    int Position;
    std::vector<std::pair<const char*, const char*>> Labels;
  } moves[] = {{"TrackBar14", 59, {{"Label44", "41%"}}},
               {"TrackBar30", 100, {{"Label32", "0%"}}},
               {"TrackBar22", 0, {{"Label73", "31\u00B0C"}}},
               {"TrackBar25", 80, {{"Label78", "30%"}, {"Label82", "30%"}}},
               {"TrackBar26", 30, {{"Label81", "80%"}}}};
  for (const auto& move : moves) {
    Widget<QSlider>(move.Slider)->setValue(move.Position);
    for (auto [label, text] : move.Labels) EXPECT_EQ(Widget<QLabel>(label)->text(), QString(text)) << label;
  }
}

TEST_F(TDemo_Page, Valve_Pictures_Open_And_Close_The_Bypass) {
  Click(Widget<TDemo_Picture>("Image5"));
  EXPECT_EQ(Demo().State.Bypass_Open, 1);
  EXPECT_TRUE(Shown_Pictures().contains("Image11"));
  EXPECT_FALSE(Shown_Pictures().contains("Image5"));
  Step();
  EXPECT_EQ(Widget<QLabel>("Label69")->text(), "Open");
  Click(Widget<TDemo_Picture>("Image11"));
  EXPECT_EQ(Demo().State.Bypass_Open, 0);
  EXPECT_TRUE(Shown_Pictures().contains("Image5"));
  EXPECT_FALSE(Shown_Pictures().contains("Image11"));
}

TEST_F(TDemo_Page, Clearing_Bypass_Closes_An_Open_Bypass_At_The_Next_Step) {
  Step();
  Click(Widget<TDemo_Picture>("Image5"));
  Widget<QCheckBox>("CheckBox2")->setChecked(false);
  Step();
  EXPECT_EQ(Widget<QLabel>("Label69")->text(), "None");
  EXPECT_TRUE(Shown_Pictures().contains("Image5"));
  Widget<QCheckBox>("CheckBox2")->setChecked(true);
  Step();
  EXPECT_TRUE(Shown_Pictures().contains("Image11"));
}

TEST_F(TDemo_Page, Alarm_Blinks_The_Triangle_And_Clearing_It_Shows_The_Black_One) {
  Widget<QCheckBox>("CheckBox5")->setChecked(true);
  Step();
  EXPECT_TRUE(Form->Timer5->Enabled());
  QStringList triangles;
  for (int i = 0; i < 3; ++i) {
    Run_For(800ms);
    triangles << (Shown_Pictures().contains("Image12") ? "red" : "black");
    EXPECT_NE(Shown_Pictures().contains("Image12"), Shown_Pictures().contains("Image6"));
  }
  EXPECT_EQ(triangles, (QStringList{"red", "black", "red"}));
  Widget<QCheckBox>("CheckBox5")->setChecked(false);
  Step();
  EXPECT_FALSE(Form->Timer5->Enabled());
  EXPECT_TRUE(Shown_Pictures().contains("Image6"));
  EXPECT_FALSE(Shown_Pictures().contains("Image12"));
}

TEST_F(TDemo_Page, Filter_Counter_Turns_Red_After_8761_Hours_Of_Running_Fans) {
  Click(Widget<TDemo_Picture>("Image1"));
  Run_For(876'400ms);  // the first step starts the counter at 400 ms; it counts every 100 ms after
  EXPECT_LE(Demo().State.Filter_Counter, 8760);
  EXPECT_FALSE(Shown_Pictures().contains("Image10"));
  Run_For(100ms);
  EXPECT_EQ(Widget<QLabel>("Label67")->text(), "8761H");
  Run_For(300ms);
  EXPECT_TRUE(Shown_Pictures().contains("Image10"));
  EXPECT_FALSE(Shown_Pictures().contains("Image4"));
}

TEST_F(TDemo_Page, Holding_The_Red_Filter_For_Four_Seconds_Resets_The_Counter) {
  Demo().State.Filter_Counter = 9000;
  Step();
  auto* red_filter = Widget<TDemo_Picture>("Image10");
  ASSERT_FALSE(red_filter->isHidden());

  QTest::mousePress(red_filter, Qt::LeftButton);
  Run_For(3s);
  QTest::mouseRelease(red_filter, Qt::LeftButton);
  Run_For(4s);
  EXPECT_EQ(Demo().State.Filter_Counter, 9000);
  EXPECT_FALSE(red_filter->isHidden());

  QTest::mousePress(red_filter, Qt::LeftButton);
  Run_For(4s);
  EXPECT_EQ(Demo().State.Filter_Counter, 0);
  EXPECT_EQ(Widget<QLabel>("Label67")->text(), "0 H");
  EXPECT_EQ(Shown_Pictures().filter("Image4").size(), 1);
  EXPECT_TRUE(red_filter->isHidden());
  // The release now lands on the black filter, and still ends the reset.
  QTest::mouseRelease(Widget<TDemo_Picture>("Image4"), Qt::LeftButton);
  EXPECT_FALSE(Form->Timer4->Enabled());

  Click(Widget<TDemo_Picture>("Image1"));
  Run_For(1s);
  EXPECT_GT(Demo().State.Filter_Counter, 0);
  EXPECT_LT(Demo().State.Filter_Counter, 11);
}

TEST_F(TDemo_Page, Filter_Button_Takes_The_Time_And_Refuses_Text_That_Is_No_Number) {
  auto* time = Widget<QLineEdit>("FilterTimeAlarm");
  time->setText("25");
  Click(Widget<QPushButton>("Button11"));
  EXPECT_EQ(Demo().State.Filter_Time, 25);
  time->setText("abc");
  Click(Widget<QPushButton>("Button11"));
  EXPECT_EQ(Dialogs.Errors, QStringList{"'abc' is not a valid integer value."});
  EXPECT_EQ(Demo().State.Filter_Time, 25);
}

TEST_F(TDemo_Page, Ctrl_S_And_Ctrl_O_Reach_The_Demo_Files_Only_On_This_Page) {
  Form->Show_Page(Form->TabSheet1);
  Hot_Key(0);
  Hot_Key(1);
  EXPECT_TRUE(Dialogs.File_Dialogs.empty());
  Form->Show_Page(Form->TabSheet3);
  Dialogs.File_Answers = {"", ""};
  Hot_Key(0);
  Hot_Key(1);
  Hot_Key(2);
  Hot_Key(3);
  ASSERT_EQ(Dialogs.File_Dialogs.size(), 2u);
  EXPECT_EQ(Dialogs.File_Dialogs[0].Title, "Save");
  EXPECT_EQ(Dialogs.File_Dialogs[0].Default_Suffix, ".cnf");
  EXPECT_EQ(Dialogs.File_Dialogs[1].Title, "Open...");
  EXPECT_EQ(Dialogs.File_Dialogs[1].Filter, "*.cnf|*.cnf");
}

TEST(TDemo_Artwork, Draws_Each_Symbol_Crisply_In_Its_Ink_Inside_A_Rounded_Tile) {
  for (TDemo_Symbol symbol : {SYMBOL_SPEED_1, SYMBOL_SPEED_2, SYMBOL_SPEED_3, SYMBOL_FILTER, SYMBOL_VALVE, SYMBOL_WARNING})
    for (TDemo_Ink ink : {INK_BLACK, INK_BLUE, INK_RED}) {
      SCOPED_TRACE(testing::Message() << "symbol " << symbol << ", ink " << ink);
      QImage image(2 * DEMO_PICTURE_SIZE, 2 * DEMO_PICTURE_SIZE, QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(2);
      image.fill(Qt::transparent);
      QPainter painter(&image);
      Paint_Demo_Symbol(painter, symbol, ink, {DEMO_PICTURE_SIZE, DEMO_PICTURE_SIZE});
      painter.end();
      int ink_pixels = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ink_pixels += image.pixelColor(x, y) == Ink_Color(ink);
      EXPECT_GT(ink_pixels, 400);                          // solid strokes at the double resolution
      EXPECT_EQ(image.pixelColor(1, 1).alpha(), 0);        // the tile's corner is rounded off
      EXPECT_EQ(image.pixelColor(10, 72).alpha(), 255);    // the tile itself is opaque
    }
}
