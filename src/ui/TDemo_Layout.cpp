#include "ui/TDemo_Layout.h"

#include "ui/Make_Widget.h"
#include "ui/Window_Fonts.h"

namespace {
constexpr int LABEL_HEIGHT = 13;
constexpr int FAN_SLIDER_WIDTH = 30;   // narrower than the 32-pixel pitch, so neighbours never overlap
constexpr int FAN_SLIDER_HEIGHT = 201;
constexpr int SETTINGS_Y = 16;
constexpr int PERCENT_Y = 240;
constexpr const char* SETTING_CAPTIONS[SETTING_COUNT] = {"S0", "S1", "S2", "S3", "SF", "SH"};
constexpr int INITIAL_FAN_POSITIONS[SETTING_COUNT] = {100, 60, 30, 0, 0, 0};

struct TFan_Layout {
  const char* Group_Name;
  const char* Caption;
  QRect Bounds;
  std::array<const char*, SETTING_COUNT> Setting_Labels;
  std::array<int, SETTING_COUNT> Setting_X;
  std::array<const char*, SETTING_COUNT> Sliders;
  std::array<QPoint, SETTING_COUNT> Slider_Places;
  std::array<const char*, SETTING_COUNT> Percent_Labels;
  std::array<int, SETTING_COUNT> Percent_X;
  const char* Bar;
  QRect Bar_Bounds;
  const char* Speed_Label;
  int Speed_Label_Right;  // the text grows to the left of this edge
};

const TFan_Layout INFLOW = {
    "GroupBox3", "Inflow Speed", {8, 16, 249, 265},
    {"Label39", "Label40", "Label42", "Label41", "Label48", "Label1"}, {16, 48, 80, 112, 144, 175},
    {"TrackBar15", "TrackBar14", "TrackBar12", "TrackBar13", "TrackBar16", "TrackBar24"},
    {{{8, 32}, {44, 32}, {76, 32}, {108, 32}, {140, 32}, {171, 32}}},
    {"Label43", "Label44", "Label45", "Label46", "Label49", "Label2"}, {16, 48, 80, 110, 142, 173},
    "ProgressBar3", {229, 35, 17, 209}, "Label47", 246};

const TFan_Layout OUTFLOW = {
    "GroupBox4", "Outflow Speed", {263, 15, 252, 265},
    {"Label50", "Label51", "Label53", "Label52", "Label59", "Label27"}, {16, 48, 80, 112, 144, 175},
    {"TrackBar20", "TrackBar19", "TrackBar17", "TrackBar18", "TrackBar21", "TrackBar30"},
    {{{12, 32}, {44, 32}, {76, 32}, {108, 32}, {140, 32}, {174, 33}}},
    {"Label54", "Label55", "Label56", "Label57", "Label60", "Label32"}, {16, 48, 80, 112, 144, 176},
    "ProgressBar4", {232, 35, 17, 209}, "Label58", 249};

QLabel* Make_Label(QWidget* parent, const char* name, const char* caption, QPoint place, int width = 60) {
  return Make_Widget<QLabel>(parent, name, caption, {place, QSize(width, LABEL_HEIGHT)});
}

// A right-aligned label whose text ends at the given edge.
QLabel* Make_Right_Label(QWidget* parent, const char* name, const char* caption, int right, int y, int width) {
  QLabel* label = Make_Label(parent, name, caption, {right - width, y}, width);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

TDemo_Fan_Widgets Make_Fan(QWidget* page, const TFan_Layout& layout) {
  TDemo_Fan_Widgets fan{};
  fan.Group = Make_Widget<QGroupBox>(page, layout.Group_Name, layout.Caption, layout.Bounds);
  for (int i = 0; i < SETTING_COUNT; ++i) {
    Make_Label(fan.Group, layout.Setting_Labels[i], SETTING_CAPTIONS[i], {layout.Setting_X[i], SETTINGS_Y}, 28);
    fan.Sliders[i] = Make_Vertical_Slider(fan.Group, layout.Sliders[i],
                                 {layout.Slider_Places[i], QSize(FAN_SLIDER_WIDTH, FAN_SLIDER_HEIGHT)}, 0, 100,
                                 INITIAL_FAN_POSITIONS[i]);
    fan.Percent_Labels[i] = Make_Label(fan.Group, layout.Percent_Labels[i], "", {layout.Percent_X[i], PERCENT_Y}, 31);
  }
  fan.Bar = Make_Speed_Bar(fan.Group, layout.Bar, layout.Bar_Bounds);
  fan.Speed_Label = Make_Right_Label(fan.Group, layout.Speed_Label, "0rpm", layout.Speed_Label_Right, SETTINGS_Y, 52);
  return fan;
}
}  // namespace

TDemo_Layout::TDemo_Layout(QWidget* page) : Page(page), Inflow(Make_Fan(page, INFLOW)), Outflow(Make_Fan(page, OUTFLOW)) {
  Lay_Out_Air_Parameters();
  Lay_Out_Current_Status();
  Lay_Out_Hardware_Config();
  Lay_Out_Control();
}

void TDemo_Layout::Lay_Out_Air_Parameters() {
  GroupBox6 = Make_Widget<QGroupBox>(Page, "GroupBox6", "Air Parameters", {521, 15, 113, 265});
  Make_Label(GroupBox6, "Label72", "Temp Off", {12, SETTINGS_Y}, 51);
  TrackBar22 = Make_Vertical_Slider(GroupBox6, "TrackBar22", {12, 32, 45, 209}, 0, 30, 28);
  Label73 = Make_Right_Label(GroupBox6, "Label73", "", 57, 244, 45);
  Make_Label(GroupBox6, "Label77", "Humidity", {63, SETTINGS_Y}, 50);
  TrackBar25 = Make_Vertical_Slider(GroupBox6, "TrackBar25", {63, 35, 45, 209}, 30, 80, 50);
  Label78 = Make_Right_Label(GroupBox6, "Label78", "", 108, 246, 45);
}

void TDemo_Layout::Lay_Out_Current_Status() {
  GroupBox8 = Make_Widget<QGroupBox>(Page, "GroupBox8", "Current Status", {640, 17, 121, 161});
  struct TStatus_Row {
    const char* Caption_Name;
    const char* Caption;
    const char* Value_Name;
    const char* Value;
    int Y;
    QLabel* TDemo_Layout::*Field;
  };
  const TStatus_Row rows[] = {
      {"Label61", "Filter:", "Label67", "0 H", 20, &TDemo_Layout::Label67},
      {"Label62", "Temp:", "Label68", "", 40, &TDemo_Layout::Label68},
      {"Label66", "T_Off:", "Label76", "", 52, &TDemo_Layout::Label76},
      {"Label79", "Humidity:", "Label81", "", 72, &TDemo_Layout::Label81},
      {"Label80", "Humidity lvl:", "Label82", "", 86, &TDemo_Layout::Label82},
      {"Label63", "Bypass: ", "Label69", "", 104, &TDemo_Layout::Label69},
      {"Label64", "Voltage:", "Label70", "", 120, &TDemo_Layout::Label70},
      {"Label65", "Forse IN:", "Label71", "", 136, &TDemo_Layout::Label71},
  };
  for (const TStatus_Row& row : rows) {
    QLabel* caption = Make_Label(GroupBox8, row.Caption_Name, row.Caption, {10, row.Y}, 68);
    if (row.Field == &TDemo_Layout::Label82) Use_Smaller_Font(caption);  // "Humidity lvl:" is the longest
    this->*row.Field = Make_Label(GroupBox8, row.Value_Name, row.Value, {80, row.Y}, 39);
  }
}

void TDemo_Layout::Lay_Out_Hardware_Config() {
  GroupBox7 = Make_Widget<QGroupBox>(Page, "GroupBox7", "Hardware Config", {640, 184, 121, 97});
  Make_Label(GroupBox7, "FilterTimeAlarmLabel", "FilterTimeAlarm", {8, 13}, 90);
  FilterTimeAlarm = Make_Widget<QLineEdit>(GroupBox7, "FilterTimeAlarm", {8, 28, 73, 21});
  FilterTimeAlarm->setText("8760");
  Button11 = Make_Widget<QPushButton>(GroupBox7, "Button11", "Filter", {87, 24, 31, 25});
  CheckBox2 = Make_Widget<QCheckBox>(GroupBox7, "CheckBox2", "Bypass", {8, 55, 70, 17});
  CheckBox2->setChecked(true);
}

void TDemo_Layout::Lay_Out_Control() {
  GroupBox5 = Make_Widget<QGroupBox>(Page, "GroupBox5", "Control", {767, 8, 410, 289});
  Panel3 = Make_Widget<QFrame>(GroupBox5, "Panel3", {9, 29, 257, 257});
  Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Make_Label(GroupBox5, "Label74", "Temp, \u00B0C", {272, 30}, 56);
  TrackBar23 = Make_Vertical_Slider(GroupBox5, "TrackBar23", {285, 49, 45, 201}, -40, 20, -20);
  Make_Label(GroupBox5, "Label83", "Humidity", {333, 30}, 56);
  TrackBar26 = Make_Vertical_Slider(GroupBox5, "TrackBar26", {344, 49, 45, 201}, 30, 80, 80);
  CheckBox3 = Make_Widget<QCheckBox>(GroupBox5, "CheckBox3", "ForceIN", {280, 256, 62, 17});
  CheckBox5 = Make_Widget<QCheckBox>(GroupBox5, "CheckBox5", "Alarm", {344, 256, 60, 17});

  Image13 = new TDemo_Picture(Panel3, "Image13", {6, 3, 240, 240}, SYMBOL_BACKGROUND, INK_BLACK);
  Image1 = Picture("Image1", {16, 168}, SYMBOL_SPEED_1, INK_BLACK, true);
  Image2 = Picture("Image2", {16, 88}, SYMBOL_SPEED_2, INK_BLACK, true);
  Image3 = Picture("Image3", {16, 8}, SYMBOL_SPEED_3, INK_BLACK, true);
  Image4 = Picture("Image4", {168, 10}, SYMBOL_FILTER, INK_BLACK, true);
  Image5 = Picture("Image5", {168, 89}, SYMBOL_VALVE, INK_BLACK, true);
  Image6 = Picture("Image6", {168, 168}, SYMBOL_WARNING, INK_BLACK, true);
  Image7 = Picture("Image7", {16, 167}, SYMBOL_SPEED_1, INK_BLUE, false);
  Image8 = Picture("Image8", {16, 88}, SYMBOL_SPEED_2, INK_BLUE, false);
  Image9 = Picture("Image9", {16, 9}, SYMBOL_SPEED_3, INK_BLUE, false);
  Image10 = Picture("Image10", {168, 10}, SYMBOL_FILTER, INK_RED, false);
  Image11 = Picture("Image11", {167, 89}, SYMBOL_VALVE, INK_BLUE, false);
  Image12 = Picture("Image12", {168, 168}, SYMBOL_WARNING, INK_RED, false);
}

TDemo_Picture* TDemo_Layout::Picture(const char* name, QPoint place, TDemo_Symbol symbol, TDemo_Ink ink, bool shown) {
  auto* picture = new TDemo_Picture(Panel3, name, {place, QSize(DEMO_PICTURE_SIZE, DEMO_PICTURE_SIZE)}, symbol, ink);
  picture->setVisible(shown);
  return picture;
}
