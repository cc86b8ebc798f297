#include "ui/TDemo_Tab.h"

#include "controller/Config_File.h"
#include "ui/Demo_Files.h"
#include "ui/Str_To_Int.h"

#include <filesystem>

namespace {
// The file layer says what went wrong; the error box also says with which file.
template <class TWork>
void On_File(const char* action, const QString& file, TWork work) {
  try {
    work(std::filesystem::path(file.toStdString()));
  } catch (const TFile_Error& error) {
    throw TFile_Error(QString("Cannot %1 the configuration file %2: %3").arg(action, file, error.what()).toStdString());
  }
}
}  // namespace

TDemo_Tab::TDemo_Tab(QWidget* page, TDemo_Window window) : TDemo_Layout(page), Window_(std::move(window)) {
  Connect_Sliders();
  Connect_Pictures();
  Connect_Guarded(Window_.Guarded, Button11, &QPushButton::clicked, Page, [this] { Button11Click(); });
}

// The labels follow their slider whenever it moves, by the user or by a demo open.
void TDemo_Tab::Follow(QSlider* slider, std::vector<QLabel*> labels, TDemo_Scale scale, const char* unit) {
  const auto show = [slider, labels = std::move(labels), scale, unit] {
    for (QLabel* label : labels) label->setText(QString::number(scale.Value(slider->value())) + unit);
  };
  show();
  Connect_Guarded(Window_.Guarded, slider, &QSlider::valueChanged, Page, show);
}

void TDemo_Tab::Connect_Sliders() {
  for (const TDemo_Fan_Widgets* fan : {&Inflow, &Outflow})
    for (int i = 0; i < SETTING_COUNT; ++i) Follow(fan->Sliders[i], {fan->Percent_Labels[i]}, FAN_PERCENT, "%");
  Follow(TrackBar22, {Label73}, SWITCH_OFF, "\u00B0C");
  Follow(TrackBar25, {Label78, Label82}, HUMIDITY, "%");
  Follow(TrackBar26, {Label81}, HUMIDITY, "%");
}

void TDemo_Tab::Connect_Pictures() {
  for (int speed = 1; speed <= 3; ++speed) {
    const auto [black, blue] = Speed_Pictures()[speed - 1];
    black->OnClick = Window_.Guarded([this, speed] { Select_Mode(speed); });
    blue->OnClick = Window_.Guarded([this] { Select_Mode(0); });
  }
  Image5->OnClick = Window_.Guarded([this] { Image5Click(); });
  Image11->OnClick = Window_.Guarded([this] { Image11Click(); });
  Image10->OnMouseDown = Window_.Guarded([this] { Image10MouseDown(); });
  Image10->OnMouseUp = Window_.Guarded([this] { Image10MouseUp(); });
}

void TDemo_Tab::FormCreate() {
  State.Filter_Time = Str_To_Int(FilterTimeAlarm->text());
  Image12->hide();
  Image6->show();
}

std::array<TDemo_Tab::TSpeed_Pictures, 3> TDemo_Tab::Speed_Pictures() const {
  return {{{Image1, Image7}, {Image2, Image8}, {Image3, Image9}}};
}

void TDemo_Tab::Select_Mode(int mode) {
  State.Demo_Mode = mode;
  for (int speed = 1; speed <= 3; ++speed) {
    const auto [black, blue] = Speed_Pictures()[speed - 1];
    blue->setVisible(mode == speed);
    black->setVisible(mode != speed);
  }
}

void TDemo_Tab::Image5Click() {
  State.Open_Bypass();
  Show_Valve();
}

void TDemo_Tab::Image11Click() {
  State.Close_Bypass();
  Show_Valve();
}

void TDemo_Tab::Show_Valve() {
  Image11->setVisible(State.Bypass_Open == 1);
  Image5->setVisible(State.Bypass_Open != 1);
}

void TDemo_Tab::Timer6Timer() { Show_Outputs(TDemo_Step(Read_Inputs(), State).Run()); }

TDemo_Inputs TDemo_Tab::Read_Inputs() const {
  TDemo_Inputs inputs;
  for (int i = 0; i < SETTING_COUNT; ++i) {
    inputs.Inflow.Percent[i] = FAN_PERCENT.Value(Inflow.Sliders[i]->value());
    inputs.Outflow.Percent[i] = FAN_PERCENT.Value(Outflow.Sliders[i]->value());
  }
  inputs.T = TEMPERATURE.Value(TrackBar23->value());
  inputs.T_Off = SWITCH_OFF.Value(TrackBar22->value());
  inputs.H = HUMIDITY.Value(TrackBar26->value());
  inputs.H_Lvl = HUMIDITY.Value(TrackBar25->value());
  inputs.Force_In = CheckBox3->isChecked();
  inputs.Alarm = CheckBox5->isChecked();
  inputs.Bypass = CheckBox2->isChecked();
  inputs.Last_In = Inflow.Bar->value();
  inputs.Last_Out = Outflow.Bar->value();
  return inputs;
}

void TDemo_Tab::Show_Outputs(const TDemo_Outputs& outputs) {
  Window_.Timer5.Set_Enabled(outputs.Alarm_Blinking);
  if (!outputs.Alarm_Blinking) {
    Image12->hide();
    Image6->show();
  }
  Inflow.Speed_Label->setText(QString::fromStdString(outputs.Inflow_Text));
  Outflow.Speed_Label->setText(QString::fromStdString(outputs.Outflow_Text));
  Label68->setText(QString::fromStdString(outputs.Temperature_Text));
  Label70->setText(QString::fromStdString(outputs.Voltage_Text));
  Label71->setText(QString::fromStdString(outputs.Force_In_Text));
  Label76->setText(QString::fromStdString(outputs.T_Off_Text));
  Label69->setText(QString::fromStdString(outputs.Bypass_Text));
  Show_Valve();
  Window_.Timer3.Set_Enabled(outputs.Filter_Counting);
  if (outputs.Filter_Alarm) {
    Image10->show();
    Image4->hide();
  }
  Inflow.Bar->setValue(outputs.In);
  Outflow.Bar->setValue(outputs.Out);
}

void TDemo_Tab::Timer3Timer() {
  ++State.Filter_Counter;
  Label67->setText(QString::number(State.Filter_Counter) + "H");
}

// Runs every 4000 ms while the red filter is held down.
void TDemo_Tab::Timer4Timer() {
  State.Filter_Counter = 0;
  Image10->hide();
  Image4->show();
  Label67->setText("0 H");
}

// The two triangles start in opposite states, so one of them shows at a time.
void TDemo_Tab::Timer5Timer() {
  Image12->setVisible(Image12->isHidden());
  Image6->setVisible(Image6->isHidden());
}

void TDemo_Tab::Image10MouseDown() {
  if (State.Filter_Counter > State.Filter_Time || !Image10->isHidden()) Window_.Timer4.Set_Enabled(true);
}

void TDemo_Tab::Image10MouseUp() { Window_.Timer4.Set_Enabled(false); }

// The counter and the pictures stay: a lower time shows the red filter at the next step, a higher
// one does not hide it.
void TDemo_Tab::Button11Click() { State.Filter_Time = Str_To_Int(FilterTimeAlarm->text()); }

// The record is filled before the dialog, so it changes even when the user cancels.
void TDemo_Tab::Button13Click() {
  Fill_Demo_Prop(*this, Demo_Prop);
  const auto file = Window_.Dialogs.Save_File(Page->window(), Window_.SaveDialog1);
  if (!file) return;
  On_File("write", *file, [this](const std::filesystem::path& path) { Write_Config_File(path, Demo_Prop); });
}

// A file that cannot be read whole leaves the record and the tab as they were. The loaded filter time
// takes effect when the user presses "Filter".
void TDemo_Tab::Button12Click() {
  const auto file = Window_.Dialogs.Open_File(Page->window(), Window_.OpenDialog2);
  if (!file) return;
  On_File("read", *file, [this](const std::filesystem::path& path) { Read_Config_File(path, Demo_Prop); });
  Show_Demo_Prop(Demo_Prop, *this);
}
