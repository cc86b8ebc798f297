// The binding between the parameter record and the Control Mode widgets. The refresh copies the
// record into the widgets; every settings widget's change handler writes its value back into the
// record and raises the panel flags. A widget set from code notifies like a user edit, and only when
// its value really changes, so a refresh that moves a setting writes the quantised value back.
#pragma once

#include "controller/TVOK_Prop.h"
#include "ui/TControl_Tab.h"
#include "ui/TFilter_Alarm_Field.h"
#include "ui/TGuard.h"
#include "ui/TPanel_Flags.h"

#include <cstdint>
#include <vector>

// A settings slider: it stands at Top - field div Scale, and position p stores Scale * (Top - p) and
// shows Top - p followed by the unit in its labels.
struct TSlider_Setting {
  QSlider* Slider;
  std::int32_t TVOK_Prop::*Field;
  int Top;
  int Scale;
  const char* Unit;
  std::vector<QLabel*> Labels;
};

class TParameter_Panel {
public:
  TParameter_Panel(TControl_Tab& tab, TVOK_Prop& prop, TPanel_Flags flags, const TGuard& guard);

  void Update_Visual_State();

  // The change handlers of the fourteen sliders (TrackBar3Change to TrackBar27Change) are one, given
  // the slider's row; so are those of the two check boxes (CheckBox6Click, CheckBox1Click).
  void Slider_Change(const TSlider_Setting& setting);
  void Check_Box_Click(const QCheckBox& box, std::int32_t TVOK_Prop::*field);
  // A display setting of this program only: it changes no field and raises no flag.
  void ComboBox1Change();

  std::int32_t Pulses_Per_Rev = 1;  // tachometer pulses per fan revolution
  TFilter_Alarm_Field Alarm;        // Edit5

private:
  void Show_Speed(QProgressBar& bar, QLabel& label, std::int32_t pulses_per_minute);

  TControl_Tab& Tab_;
  TVOK_Prop& Prop_;
  TPanel_Flags Flags_;
  std::vector<TSlider_Setting> Sliders_;  // in the order of the refresh
  QObject Context_;                       // disconnects the handlers when the panel goes
};
