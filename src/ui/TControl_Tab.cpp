#include "ui/TControl_Tab.h"

#include "ui/Make_Widget.h"
#include "ui/TMemo_Log.h"
#include "ui/Window_Fonts.h"

namespace {
constexpr int FAN_DUTY_POSITIONS = 100;
constexpr int COLUMN_WIDTH = 30;
constexpr int CAPTION_TOP = 18;
constexpr int SLIDER_TOP = 32;
constexpr int SLIDER_WIDTH = 24;
constexpr int SLIDER_HEIGHT = 200;
constexpr int VALUE_TOP = 236;
constexpr int TEXT_HEIGHT = 13;

// Each fan column: caption name and text, slider, value label; left to right S0, S1, S2, S3, SF, SH.
constexpr const char* INFLOW_COLUMNS[6][4] = {
    {"Label3", "S0", "TrackBar3", "Label11"},  {"Label4", "S1", "TrackBar2", "Label12"},
    {"Label6", "S2", "TrackBar4", "Label13"},  {"Label5", "S3", "TrackBar1", "Label14"},
    {"Label21", "SF", "TrackBar9", "Label22"}, {"Label105", "SH", "TrackBar29", "Label104"}};
constexpr const char* OUTFLOW_COLUMNS[6][4] = {
    {"Label7", "S0", "TrackBar8", "Label15"},  {"Label8", "S1", "TrackBar7", "Label16"},
    {"Label10", "S2", "TrackBar5", "Label17"}, {"Label9", "S3", "TrackBar6", "Label18"},
    {"Label23", "SF", "TrackBar10", "Label24"}, {"Label25", "SH", "TrackBar11", "Label26"}};

QLabel* Make_Label(QWidget* parent, const char* name, const char* text, QRect bounds,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = Make_Widget<QLabel>(parent, name, QString::fromUtf8(text), bounds);
  label->setAlignment(alignment);
  return label;
}

QLabel* Make_Centred_Label(QWidget* parent, const char* name, const char* text, QRect bounds) {
  return Make_Label(parent, name, text, bounds, Qt::AlignCenter);
}
}  // namespace

TControl_Tab::TControl_Tab(QWidget* page)
    : GroupBox1(Make_Widget<QGroupBox>(page, "GroupBox1", "  Inflow  ", {8, 8, 257, 265})),
      GroupBox2(Make_Widget<QGroupBox>(page, "GroupBox2", "  Outflow  ", {272, 8, 257, 265})),
      GroupBox9(Make_Widget<QGroupBox>(page, "GroupBox9", "  Air Parameters  ", {536, 8, 113, 265})),
      GroupBox10(Make_Widget<QGroupBox>(page, "GroupBox10", "  Current Status  ", {656, 8, 121, 161})),
      GroupBox11(Make_Widget<QGroupBox>(page, "GroupBox11", "  Hardware Config  ", {655, 170, 122, 155})),
      GroupBox14(Make_Widget<QGroupBox>(page, "GroupBox14", {8, 275, 641, 49})),
      Memo2(Make_Log_Memo(page, "Memo2", {783, 14, 391, 310})) {
  Make_Fan_Group(GroupBox1, Inflow, INFLOW_COLUMNS, "Label19", Label19, "ProgressBar1", ProgressBar1);
  Make_Fan_Group(GroupBox2, Outflow, OUTFLOW_COLUMNS, "Label20", Label20, "ProgressBar2", ProgressBar2);
  // The inflow bar is drawn in the classic desktop blue, the outflow bar in the style's own colour.
  QPalette desktop_blue = ProgressBar1->palette();
  desktop_blue.setColor(QPalette::Highlight, QColor(0x3a, 0x6e, 0xa5));
  ProgressBar1->setPalette(desktop_blue);
  Make_Air_Group();
  Make_Status_Group();
  Make_Hardware_Group();
  Make_Command_Group();
}

void TControl_Tab::Make_Fan_Group(QGroupBox* group, std::array<TFan_Column, 6>& columns,
                                  const char* const (&names)[6][4], const char* speed_label_name,
                                  QLabel*& speed_label, const char* bar_name, QProgressBar*& bar) {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const int left = 6 + COLUMN_WIDTH * static_cast<int>(i);
    const auto& [caption_name, caption, slider_name, value_name] = names[i];
    Make_Centred_Label(group, caption_name, caption, {left, CAPTION_TOP, COLUMN_WIDTH, TEXT_HEIGHT});
    columns[i].Slider = Make_Vertical_Slider(group, slider_name, {left + 3, SLIDER_TOP, SLIDER_WIDTH, SLIDER_HEIGHT},
                                             0, FAN_DUTY_POSITIONS, FAN_DUTY_POSITIONS);
    // A pixel wider on each side than the column, so "100%" fits in the wider fonts; centred, the
    // texts of neighbours stay apart.
    columns[i].Value =
        Make_Centred_Label(group, value_name, "0%", {left - 1, VALUE_TOP, COLUMN_WIDTH + 2, TEXT_HEIGHT});
  }
  speed_label = Make_Label(group, speed_label_name, "0rpm", {186, CAPTION_TOP, 64, TEXT_HEIGHT},
                           Qt::AlignRight | Qt::AlignVCenter);
  bar = Make_Speed_Bar(group, bar_name, {226, SLIDER_TOP, 20, SLIDER_HEIGHT});
}

void TControl_Tab::Make_Air_Group() {
  Make_Centred_Label(GroupBox9, "Label84", "Temp Off", {4, CAPTION_TOP, 52, TEXT_HEIGHT});
  TrackBar28 = Make_Vertical_Slider(GroupBox9, "TrackBar28", {18, SLIDER_TOP, SLIDER_WIDTH, SLIDER_HEIGHT}, 0, 30, 27);
  Label86 = Make_Centred_Label(GroupBox9, "Label86", "4°C", {4, VALUE_TOP, 52, TEXT_HEIGHT});
  Make_Centred_Label(GroupBox9, "Label85", "Humidity", {56, CAPTION_TOP, 52, TEXT_HEIGHT});
  TrackBar27 = Make_Vertical_Slider(GroupBox9, "TrackBar27", {70, SLIDER_TOP, SLIDER_WIDTH, SLIDER_HEIGHT}, 0, 100, 50);
  Label87 = Make_Centred_Label(GroupBox9, "Label87", "60%", {56, VALUE_TOP, 52, TEXT_HEIGHT});
}

// Caption and value pairs, one row each; the first row has the "R" button left of its caption.
void TControl_Tab::Make_Status_Group() {
  struct TRow {
    const char* Caption;
    const char* Name;
    const char* Initial;
    QLabel* TControl_Tab::*Value;
  };
  const TRow rows[] = {
      {"Filter:", "Label89", "0 h", &TControl_Tab::Label89},
      {"Temp:", "Label91", "0 °C", &TControl_Tab::Label91},
      {"T_Off:", "Label99", "0 °C", &TControl_Tab::Label99},
      {"Humidity:", "Label102", "60%", &TControl_Tab::Label102},
      {"Humidity lvl:", "Label103", "60%", &TControl_Tab::Label103},
      {"Bypass: ", "Label93", "None", &TControl_Tab::Label93},
      {"Voltage:", "Label95", "0 V", &TControl_Tab::Label95},
      {"Forse IN:", "Label97", "Open", &TControl_Tab::Label97},
  };
  Button14 = Make_Widget<QPushButton>(GroupBox10, "Button14", "R", {4, 15, 17, 17});
  for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
    const int top = 17 + 18 * i;
    const int caption_left = i == 0 ? 24 : 6;
    QLabel* caption = Make_Label(GroupBox10, nullptr, rows[i].Caption, {caption_left, top, 72 - caption_left, TEXT_HEIGHT});
    if (rows[i].Value == &TControl_Tab::Label103) Use_Smaller_Font(caption);  // "Humidity lvl:" is the longest
    this->*rows[i].Value = Make_Label(GroupBox10, rows[i].Name, rows[i].Initial, {72, top, 46, TEXT_HEIGHT});
  }
}

void TControl_Tab::Make_Hardware_Group() {
  Make_Label(GroupBox11, "Label33", "FilterTimeAlarm, h", {8, 16, 110, TEXT_HEIGHT});
  Edit5 = Make_Widget<QLineEdit>(GroupBox11, "Edit5", "0", {8, 31, 106, 19});
  CheckBox6 = Make_Widget<QCheckBox>(GroupBox11, "CheckBox6", "Bypass", {8, 56, 106, 17});
  CheckBox6->setChecked(true);
  CheckBox1 = Make_Widget<QCheckBox>(GroupBox11, "CheckBox1", "Invert Bypass", {8, 76, 106, 17});
  Make_Label(GroupBox11, "Label28", "Resolution, ppr", {8, 98, 106, TEXT_HEIGHT});
  ComboBox1 = Make_Widget<QComboBox>(GroupBox11, "ComboBox1", {8, 113, 106, 21});
  ComboBox1->addItems({"1 pulse", "2 pulse", "3 pulse", "4 pulse", "5 pulse", "6 pulse"});
}

void TControl_Tab::Make_Command_Group() {
  Button9 = Make_Widget<QPushButton>(GroupBox14, "Button9", "Save Config", {57, 14, 100, 25});
  Button8 = Make_Widget<QPushButton>(GroupBox14, "Button8", "Open Config", {270, 14, 100, 25});
  Button10 = Make_Widget<QPushButton>(GroupBox14, "Button10", "Write Config", {484, 14, 100, 25});
}
