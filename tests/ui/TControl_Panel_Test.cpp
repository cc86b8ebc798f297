#include "TControl_Fixture.h"

#include <QGroupBox>

namespace {
class TControl_Panel : public TControl_Fixture {};

using TField = std::int32_t TVOK_Prop::*;

// Every settings slider with its field and the labels that follow it.
struct TSlider_Row {
  const char* Slider;
  TField Field;
  int Scale;  // record units per displayed unit
  int Top;    // the value shown at position 0
  std::vector<const char*> Labels;
  const char* Unit;
};

const std::vector<TSlider_Row> SLIDERS = {
    {"TrackBar3", &TVOK_Prop::PWM_IN_0, 10, 100, {"Label11"}, "%"},
    {"TrackBar2", &TVOK_Prop::PWM_IN_1, 10, 100, {"Label12"}, "%"},
    {"TrackBar4", &TVOK_Prop::PWM_IN_2, 10, 100, {"Label13"}, "%"},
    {"TrackBar1", &TVOK_Prop::PWM_IN_3, 10, 100, {"Label14"}, "%"},
    {"TrackBar9", &TVOK_Prop::PWM_IN_F, 10, 100, {"Label22"}, "%"},
    {"TrackBar29", &TVOK_Prop::PWM_IN_H, 10, 100, {"Label104"}, "%"},
    {"TrackBar8", &TVOK_Prop::PWM_OUT_0, 10, 100, {"Label15"}, "%"},
    {"TrackBar7", &TVOK_Prop::PWM_OUT_1, 10, 100, {"Label16"}, "%"},
    {"TrackBar5", &TVOK_Prop::PWM_OUT_2, 10, 100, {"Label17"}, "%"},
    {"TrackBar6", &TVOK_Prop::PWM_OUT_3, 10, 100, {"Label18"}, "%"},
    {"TrackBar10", &TVOK_Prop::PWM_OUT_F, 10, 100, {"Label24"}, "%"},
    {"TrackBar11", &TVOK_Prop::PWM_OUT_H, 10, 100, {"Label26"}, "%"},
    {"TrackBar28", &TVOK_Prop::T_Off, 1, 31, {"Label86", "Label99"}, "°C"},
    {"TrackBar27", &TVOK_Prop::H_Lvl, 1, 100, {"Label87", "Label103"}, "%"},
};
}  // namespace

TEST_F(TControl_Panel, Is_Laid_Out_In_Its_Groups) {
  const std::tuple<const char*, const char*, QRect> groups[] = {
      {"GroupBox1", "  Inflow  ", {8, 8, 257, 265}},
      {"GroupBox2", "  Outflow  ", {272, 8, 257, 265}},
      {"GroupBox9", "  Air Parameters  ", {536, 8, 113, 265}},
      {"GroupBox10", "  Current Status  ", {656, 8, 121, 161}},
      {"GroupBox11", "  Hardware Config  ", {655, 170, 122, 155}},
      {"GroupBox14", "", {8, 275, 641, 49}}};
  for (auto [name, title, bounds] : groups) {
    SCOPED_TRACE(name);
    auto* group = Widget<QGroupBox>(name);
    EXPECT_EQ(group->title(), title);
    EXPECT_EQ(group->geometry(), bounds);
  }
  const std::pair<const char*, const char*> buttons[] = {
      {"Button9", "Save Config"}, {"Button8", "Open Config"}, {"Button10", "Write Config"}, {"Button14", "R"}};
  for (auto [name, caption] : buttons) EXPECT_EQ(Widget<QPushButton>(name)->text(), caption) << name;
  EXPECT_EQ(Widget<QPushButton>("Button14")->size(), QSize(17, 17));
  EXPECT_EQ(Tab().ComboBox1->count(), 6);
  EXPECT_EQ(Tab().ComboBox1->itemText(5), "6 pulse");
  EXPECT_FALSE(Tab().ComboBox1->isEditable());
  // Every widget stays inside its group, so nothing is cut off.
  for (QGroupBox* group : Form->TabSheet2->findChildren<QGroupBox*>())
    for (QWidget* child : group->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      EXPECT_TRUE(group->rect().contains(child->geometry())) << child->objectName().toStdString();
}

TEST_F(TControl_Panel, Starts_With_The_Drawn_Positions_And_Texts) {
  const std::tuple<const char*, int, int> sliders[] = {{"TrackBar3", 100, 100}, {"TrackBar11", 100, 100},
                                                       {"TrackBar28", 30, 27}, {"TrackBar27", 100, 50}};
  for (auto [name, maximum, position] : sliders) {
    SCOPED_TRACE(name);
    auto* slider = Widget<QSlider>(name);
    EXPECT_EQ(slider->orientation(), Qt::Vertical);
    EXPECT_TRUE(slider->invertedAppearance());  // position 0 at the top
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), maximum);
    EXPECT_EQ(slider->value(), position);
  }
  const std::pair<const char*, const char*> texts[] = {
      {"Label11", "0%"},   {"Label26", "0%"},    {"Label86", "4°C"},  {"Label87", "60%"}, {"Label103", "60%"},
      {"Label19", "0rpm"}, {"Label20", "0rpm"},  {"Label89", "0 h"},  {"Label91", "0 °C"}, {"Label99", "0 °C"},
      {"Label95", "0 V"},  {"Label102", "60%"},  {"Label97", "Open"}, {"Label93", "None"}};
  for (auto [name, text] : texts) EXPECT_EQ(Widget<QLabel>(name)->text(), QString::fromUtf8(text)) << name;
  EXPECT_EQ(Tab().Edit5->text(), "0");
  EXPECT_TRUE(Tab().CheckBox6->isChecked());
  EXPECT_FALSE(Tab().CheckBox1->isChecked());
  EXPECT_EQ(Tab().ComboBox1->currentText(), "1 pulse");
  EXPECT_EQ(Form->Panel->Pulses_Per_Rev, 1);
}

TEST_F(TControl_Panel, Each_Slider_Shows_And_Edits_Its_Own_Field) {
  for (const TSlider_Row& row : SLIDERS) {
    SCOPED_TRACE(row.Slider);
    auto* slider = Widget<QSlider>(row.Slider);
    TVOK_Prop prop = As_Started();
    prop.*row.Field = 25 * row.Scale;
    Refresh(prop);
    EXPECT_EQ(slider->value(), row.Top - 25);

    Refresh(As_Started());
    Clear_Flags();
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);  // as the user does with Page Up
    const int shown = row.Top - slider->value();
    TVOK_Prop expected = As_Started();
    expected.*row.Field = row.Scale * shown;
    EXPECT_EQ(Prop(), expected);  // that field and no other
    for (const char* label : row.Labels)
      EXPECT_EQ(Widget<QLabel>(label)->text(), QString::number(shown) + QString::fromUtf8(row.Unit)) << label;
    EXPECT_EQ(Flags(), RAISED);
    Refresh(As_Started());
  }
}

TEST_F(TControl_Panel, A_Refresh_That_Shows_Nothing_New_Runs_No_Handler) {
  Refresh(As_Started());
  EXPECT_EQ(Flags(), LOWERED);
  TVOK_Prop status = As_Started();  // status values have no handlers
  status.T_O_IN = 1200;
  status.V_in = 1500;
  status.T_in = 61;
  status.Time = 600;
  status.F_In = 1;
  status.B_P = 1;
  Refresh(status);
  EXPECT_EQ(Flags(), LOWERED);
  EXPECT_EQ(Prop(), status);
}

// A setting the slider cannot show as it is gets quantised or clamped, and written back only when
// the slider actually moves.
TEST_F(TControl_Panel, A_Refresh_That_Moves_A_Slider_Writes_Its_Value_Back) {
  struct TCase {
    const char* Slider;
    TField Field;
    std::int32_t Value;
    int Position;
    std::int32_t Stored;
    const char* Label;
    const char* Text;
  };
  const TCase cases[] = {
      {"TrackBar3", &TVOK_Prop::PWM_IN_0, 505, 50, 500, "Label11", "50%"},
      {"TrackBar11", &TVOK_Prop::PWM_OUT_H, 1200, 0, 1000, "Label26", "100%"},
      {"TrackBar28", &TVOK_Prop::T_Off, 0, 30, 1, "Label99", "1°C"},
      {"TrackBar28", &TVOK_Prop::T_Off, 45, 0, 31, "Label86", "31°C"},
      {"TrackBar27", &TVOK_Prop::H_Lvl, 150, 0, 100, "Label103", "100%"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Slider) + " " + std::to_string(c.Value));
    Refresh(As_Started());
    Clear_Flags();
    TVOK_Prop prop = As_Started();
    prop.*c.Field = c.Value;
    Refresh(prop);
    EXPECT_EQ(Widget<QSlider>(c.Slider)->value(), c.Position);
    EXPECT_EQ(Prop().*c.Field, c.Stored);
    EXPECT_EQ(Widget<QLabel>(c.Label)->text(), QString::fromUtf8(c.Text));
    EXPECT_EQ(Flags(), RAISED);
  }
}

TEST_F(TControl_Panel, A_Slider_Already_In_Place_Keeps_The_Record_As_Read) {
  TVOK_Prop prop = As_Started();
  prop.PWM_IN_0 = 500;
  prop.T_Off = 31;
  Refresh(prop);
  Clear_Flags();
  prop.PWM_IN_0 = 505;
  prop.T_Off = 40;
  Refresh(prop);
  EXPECT_EQ(Prop().PWM_IN_0, 505);
  EXPECT_EQ(Prop().T_Off, 40);
  EXPECT_EQ(Tab().Label99->text(), QString::fromUtf8("40°C"));  // the status line shows the record
  EXPECT_EQ(Flags(), LOWERED);
}

// CheckBox6 is ticked for any value but 0 and CheckBox1 only for 1; a box that changes state
// rewrites its field as 0 or 1. The bypass state shows only while a bypass is fitted.
TEST_F(TControl_Panel, Bypass_Boxes_Follow_The_Record_And_Write_Back_When_They_Change) {
  struct TCase {
    std::int32_t B_P_E, B_P_I, B_P;
    bool Bypass, Inverted;
    const char* State;
    std::int32_t Stored_B_P_E, Stored_B_P_I;
    std::pair<bool, bool> Flags;
  };
  const TCase steps[] = {
      {2, 2, 0, true, false, "Close", 2, 2, LOWERED},  // no box moved: the record keeps its values
      {0, 1, 1, false, true, "None", 0, 1, RAISED},
      {2, 2, 1, true, false, "Open", 1, 0, RAISED},
  };
  for (const TCase& step : steps) {
    SCOPED_TRACE(step.State);
    Clear_Flags();
    TVOK_Prop prop = As_Started();
    prop.B_P_E = step.B_P_E;
    prop.B_P_I = step.B_P_I;
    prop.B_P = step.B_P;
    Refresh(prop);
    EXPECT_EQ(Tab().CheckBox6->isChecked(), step.Bypass);
    EXPECT_EQ(Tab().CheckBox1->isChecked(), step.Inverted);
    EXPECT_EQ(Tab().Label93->text(), step.State);
    EXPECT_EQ(Prop().B_P_E, step.Stored_B_P_E);
    EXPECT_EQ(Prop().B_P_I, step.Stored_B_P_I);
    EXPECT_EQ(Flags(), step.Flags);
  }
}

TEST_F(TControl_Panel, Ticking_A_Box_Writes_Its_Field) {
  Refresh(As_Started());
  Tab().CheckBox6->click();
  EXPECT_EQ(Prop().B_P_E, 0);
  EXPECT_EQ(Flags(), RAISED);
  Clear_Flags();
  Tab().CheckBox1->click();
  EXPECT_EQ(Prop().B_P_I, 1);
  EXPECT_EQ(Flags(), RAISED);
}

TEST_F(TControl_Panel, Status_Values_Are_Shown_In_Their_Formats) {
  struct TCase {
    TField Field;
    std::int32_t Value;
    const char* Label;
    const char* Text;
  };
  const TCase cases[] = {
      {&TVOK_Prop::T_in, 0, "Label91", "-40°C"},   {&TVOK_Prop::T_in, 90, "Label91", "50°C"},
      {&TVOK_Prop::T_in, 91, "Label91", "fault"},  {&TVOK_Prop::V_in, 0, "Label95", "0.00V"},
      {&TVOK_Prop::V_in, 0, "Label102", "0%"},     {&TVOK_Prop::V_in, 1234, "Label95", "3.70V"},
      {&TVOK_Prop::V_in, 1234, "Label102", "37%"}, {&TVOK_Prop::F_In, 1, "Label97", "Close"},
      {&TVOK_Prop::F_In, 2, "Label97", "Open"},    {&TVOK_Prop::Time, 59, "Label89", "9h "},
      {&TVOK_Prop::T_O_IN, 2400, "Label19", "2400 Rpm"}, {&TVOK_Prop::T_O_OUT, 65535 * 60, "Label20", "3932100 Rpm"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Label) + " " + std::to_string(c.Value));
    TVOK_Prop prop = As_Started();
    prop.*c.Field = c.Value;
    Refresh(prop);
    EXPECT_EQ(Widget<QLabel>(c.Label)->text(), QString::fromUtf8(c.Text));
  }
  EXPECT_EQ(Tab().ProgressBar2->value(), 3600);  // any faster fan shows a full bar
}

TEST_F(TControl_Panel, Speeds_Are_Divided_By_The_Pulses_Per_Revolution_At_The_Next_Refresh) {
  TVOK_Prop prop = As_Started();
  prop.T_O_IN = 3600;
  prop.T_O_OUT = 7200;
  Refresh(prop);
  EXPECT_EQ(Tab().ProgressBar1->value(), 3600);
  Tab().ComboBox1->setCurrentIndex(2);
  EXPECT_EQ(Form->Panel->Pulses_Per_Rev, 3);
  EXPECT_EQ(Tab().Label19->text(), "3600 Rpm");  // unchanged until the next refresh
  EXPECT_EQ(Flags(), LOWERED);
  Refresh(prop);
  EXPECT_EQ(Tab().Label19->text(), "1200 Rpm");
  EXPECT_EQ(Tab().ProgressBar1->value(), 1200);
  EXPECT_EQ(Tab().Label20->text(), "2400 Rpm");
  EXPECT_EQ(Prop(), prop);
}

TEST_F(TControl_Panel, The_Voltage_Uses_The_Decimal_Separator_Of_The_Users_Locale) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  TVOK_Prop prop = As_Started();
  prop.V_in = 1500;
  Refresh(prop);
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(Tab().Label95->text(), "4,50V");
}
