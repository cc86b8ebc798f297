#include "ui/Demo_Files.h"

#include "ui/Demo_Scales.h"
#include "ui/Str_To_Int.h"

#include <algorithm>

namespace {
struct TStored_Slider {
  QSlider* Slider;
  std::int32_t TVOK_Prop::*Field;
  TDemo_Scale Scale;
};

// In the order the demo open moves them. The humidity speeds SH are not stored.
std::array<TStored_Slider, 12> Stored_Sliders(const TDemo_Layout& tab) {
  const auto& in = tab.Inflow.Sliders;
  const auto& out = tab.Outflow.Sliders;
  return {{
      {in[SETTING_S0], &TVOK_Prop::PWM_IN_0, FAN_DUTY},
      {in[SETTING_S1], &TVOK_Prop::PWM_IN_1, FAN_DUTY},
      {in[SETTING_S2], &TVOK_Prop::PWM_IN_2, FAN_DUTY},
      {in[SETTING_S3], &TVOK_Prop::PWM_IN_3, FAN_DUTY},
      {out[SETTING_S0], &TVOK_Prop::PWM_OUT_0, FAN_DUTY},
      {out[SETTING_S1], &TVOK_Prop::PWM_OUT_1, FAN_DUTY},
      {out[SETTING_S2], &TVOK_Prop::PWM_OUT_2, FAN_DUTY},
      {out[SETTING_S3], &TVOK_Prop::PWM_OUT_3, FAN_DUTY},
      {in[SETTING_SF], &TVOK_Prop::PWM_IN_F, FAN_DUTY},
      {out[SETTING_SF], &TVOK_Prop::PWM_OUT_F, FAN_DUTY},
      {tab.TrackBar22, &TVOK_Prop::T_Off, SWITCH_OFF},
      {tab.TrackBar25, &TVOK_Prop::H_Lvl, HUMIDITY},
  }};
}
}  // namespace

void Fill_Demo_Prop(const TDemo_Layout& tab, TVOK_Prop& prop) {
  for (const TStored_Slider& stored : Stored_Sliders(tab)) prop.*stored.Field = stored.Scale.Value(stored.Slider->value());
  // Stored as typed: unlike the Control Mode panel, the demo applies no factor to the filter time.
  prop.L_Time = Str_To_Int(tab.FilterTimeAlarm->text());
}

void Show_Demo_Prop(const TVOK_Prop& prop, TDemo_Layout& tab) {
  for (const TStored_Slider& stored : Stored_Sliders(tab)) {
    const std::int64_t position = stored.Scale.Position(prop.*stored.Field);
    stored.Slider->setValue(static_cast<int>(std::clamp<std::int64_t>(position, stored.Slider->minimum(),
                                                                      stored.Slider->maximum())));
  }
  tab.FilterTimeAlarm->setText(QString::number(prop.L_Time));
}
