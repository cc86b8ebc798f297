#include "ui/TParameter_Panel.h"

#include "ui/Status_Texts.h"

#include <algorithm>

namespace {
constexpr int FAN_DUTY_TOP = 100;  // percent; the record holds tenths of a percent
constexpr int FAN_DUTY_SCALE = 10;
constexpr int T_OFF_TOP = 31;      // degrees C at position 0
constexpr int H_LVL_TOP = 100;     // percent at position 0
constexpr std::int32_t HUMIDITY_UNITS_PER_PERCENT = 33;

constexpr std::int32_t TVOK_Prop::*INFLOW_DUTIES[6] = {&TVOK_Prop::PWM_IN_0, &TVOK_Prop::PWM_IN_1,
                                                       &TVOK_Prop::PWM_IN_2, &TVOK_Prop::PWM_IN_3,
                                                       &TVOK_Prop::PWM_IN_F, &TVOK_Prop::PWM_IN_H};
constexpr std::int32_t TVOK_Prop::*OUTFLOW_DUTIES[6] = {&TVOK_Prop::PWM_OUT_0, &TVOK_Prop::PWM_OUT_1,
                                                        &TVOK_Prop::PWM_OUT_2, &TVOK_Prop::PWM_OUT_3,
                                                        &TVOK_Prop::PWM_OUT_F, &TVOK_Prop::PWM_OUT_H};

std::vector<TSlider_Setting> Slider_Settings(TControl_Tab& tab) {
  std::vector<TSlider_Setting> settings;
  for (std::size_t i = 0; i < tab.Inflow.size(); ++i)
    settings.push_back({tab.Inflow[i].Slider, INFLOW_DUTIES[i], FAN_DUTY_TOP, FAN_DUTY_SCALE, "%", {tab.Inflow[i].Value}});
  for (std::size_t i = 0; i < tab.Outflow.size(); ++i)
    settings.push_back(
        {tab.Outflow[i].Slider, OUTFLOW_DUTIES[i], FAN_DUTY_TOP, FAN_DUTY_SCALE, "%", {tab.Outflow[i].Value}});
  settings.push_back({tab.TrackBar28, &TVOK_Prop::T_Off, T_OFF_TOP, 1, "°C", {tab.Label86, tab.Label99}});
  settings.push_back({tab.TrackBar27, &TVOK_Prop::H_Lvl, H_LVL_TOP, 1, "%", {tab.Label87, tab.Label103}});
  return settings;
}
}  // namespace

TParameter_Panel::TParameter_Panel(TControl_Tab& tab, TVOK_Prop& prop, TPanel_Flags flags, const TGuard& guard)
    : Alarm(*tab.Edit5, *tab.CheckBox6, prop, flags, guard), Tab_(tab), Prop_(prop), Flags_(flags),
      Sliders_(Slider_Settings(tab)) {
  tab.ComboBox1->setCurrentIndex(0);
  Pulses_Per_Rev = 1;
  for (const TSlider_Setting& setting : Sliders_)
    Connect_Guarded(guard, setting.Slider, &QSlider::valueChanged, &Context_, [this, &setting] { Slider_Change(setting); });
  Connect_Guarded(guard, tab.CheckBox6, &QCheckBox::toggled, &Context_,
                  [this] { Check_Box_Click(*Tab_.CheckBox6, &TVOK_Prop::B_P_E); });
  Connect_Guarded(guard, tab.CheckBox1, &QCheckBox::toggled, &Context_,
                  [this] { Check_Box_Click(*Tab_.CheckBox1, &TVOK_Prop::B_P_I); });
  Connect_Guarded(guard, tab.ComboBox1, &QComboBox::currentIndexChanged, &Context_, [this] { ComboBox1Change(); });
}

// The order matters: a slider that moves rewrites its field before the labels after it are set, and
// the bypass branch is chosen on the record's value from before its check box was set.
void TParameter_Panel::Update_Visual_State() {
  for (const TSlider_Setting& setting : Sliders_) {
    const std::int64_t position = setting.Top - std::int64_t{Prop_.*setting.Field} / setting.Scale;
    setting.Slider->setValue(static_cast<int>(
        std::clamp<std::int64_t>(position, setting.Slider->minimum(), setting.Slider->maximum())));
  }
  Show_Speed(*Tab_.ProgressBar1, *Tab_.Label19, Prop_.T_O_IN);
  Show_Speed(*Tab_.ProgressBar2, *Tab_.Label20, Prop_.T_O_OUT);
  Tab_.Label89->setText(QString::number(Prop_.Time / SIXTHS_PER_HOUR) + "h ");
  Tab_.Label91->setText(Temperature_Text(Prop_.T_in));
  Tab_.Label99->setText(QString::number(Prop_.T_Off) + "°C");
  Tab_.Label95->setText(Voltage_Text(Prop_.V_in, QLocale()));
  Tab_.Label102->setText(QString::number(Prop_.V_in / HUMIDITY_UNITS_PER_PERCENT) + "%");
  Tab_.Label97->setText(Prop_.F_In == 1 ? "Close" : "Open");
  Tab_.CheckBox1->setChecked(Prop_.B_P_I == 1);
  if (Prop_.B_P_E == 0) {
    Tab_.Label93->setText("None");
    Tab_.CheckBox6->setChecked(false);
  } else {
    Tab_.CheckBox6->setChecked(true);
    Tab_.Label93->setText(Prop_.B_P == 0 ? "Close" : "Open");
  }
  Alarm.Show(Prop_.L_Time);
}

// Any speed above the bar's top shows a full bar.
void TParameter_Panel::Show_Speed(QProgressBar& bar, QLabel& label, std::int32_t pulses_per_minute) {
  const std::int32_t rpm = pulses_per_minute / Pulses_Per_Rev;
  bar.setValue(std::clamp(rpm, 0, bar.maximum()));
  label.setText(QString::number(rpm) + " Rpm");
}

void TParameter_Panel::Slider_Change(const TSlider_Setting& setting) {
  const int shown = setting.Top - setting.Slider->value();
  for (QLabel* label : setting.Labels) label->setText(QString::number(shown) + setting.Unit);
  Prop_.*setting.Field = setting.Scale * shown;
  Flags_.Raise();
}

void TParameter_Panel::Check_Box_Click(const QCheckBox& box, std::int32_t TVOK_Prop::*field) {
  Prop_.*field = box.isChecked() ? 1 : 0;
  Flags_.Raise();
}

void TParameter_Panel::ComboBox1Change() { Pulses_Per_Rev = Tab_.ComboBox1->currentIndex() + 1; }
