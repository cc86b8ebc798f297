// The "Demo" page: a local simulation of the controller's fan logic, driven by sliders and picture
// buttons, with its filter counter, alarm blinking and demo files. The window runs the handlers.
#pragma once

#include "controller/TVOK_Prop.h"
#include "ui/Demo_Scales.h"
#include "ui/TDemo_Layout.h"
#include "ui/TDemo_State.h"
#include "ui/TDialogs.h"
#include "ui/TGuard.h"
#include "ui/TTimer.h"

#include <array>
#include <vector>

// What the page uses of its window: the demo timers, the file dialogs and the window's guard, which
// shows an error that escapes a handler in the error box.
struct TDemo_Window {
  TTimer& Timer3;  // filter counter
  TTimer& Timer4;  // filter reset by a long press
  TTimer& Timer5;  // alarm blinking
  TDialogs& Dialogs;
  const TFile_Dialog& SaveDialog1;
  const TFile_Dialog& OpenDialog2;
  TGuard Guarded;
};

class TDemo_Tab final : public TDemo_Layout {
public:
  TDemo_Tab(QWidget* page, TDemo_Window window);

  // At window creation: the filter time from its box, and the black warning triangle.
  void FormCreate();

  void Timer3Timer();  // one filter hour
  void Timer4Timer();  // the filter reset
  void Timer5Timer();  // the triangle's blink
  void Timer6Timer();  // the simulation step

  void Image5Click();   // open the bypass
  void Image11Click();  // close the bypass
  void Image10MouseDown();
  void Image10MouseUp();
  void Button11Click();  // "Filter"
  void Button12Click();  // demo open
  void Button13Click();  // demo save

  TDemo_State State;
  TVOK_Prop Demo_Prop;  // the demo's own record, never sent to a controller

private:
  void Follow(QSlider* slider, std::vector<QLabel*> labels, TDemo_Scale scale, const char* unit);
  void Connect_Sliders();
  void Connect_Pictures();
  // The speed pictures' clicks (Image1Click to Image3Click choose a speed, Image7Click to Image9Click
  // return to stand-by): the active speed shows blue, the others black.
  void Select_Mode(int mode);
  struct TSpeed_Pictures {
    TDemo_Picture* Black;
    TDemo_Picture* Blue;
  };
  std::array<TSpeed_Pictures, 3> Speed_Pictures() const;
  void Show_Valve();
  TDemo_Inputs Read_Inputs() const;
  void Show_Outputs(const TDemo_Outputs& outputs);

  TDemo_Window Window_;
};
