#include "TWork_Tick_Benchmark.h"

#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "ui/TForm1.h"
#include "ui/TVirtual_Timer_Engine.h"
#include "ui/Unattended_Window.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {
constexpr int TICKS = 200;

double Seconds(TDuration duration) { return std::chrono::duration<double>(duration).count(); }
}  // namespace

double Work_Mode_Tick_Overhead() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int argc = 1;
  char name[] = "yeli-bench";
  char* argv[] = {name, nullptr};
  QApplication application(argc, argv);

  TVirtual_Clock clock;
  TSim_Bus bus(clock);
  bus.Attach(Factory_Setup(SIM_FACTORY_USBXPRESS));
  TVirtual_Timer_Engine timers(clock);
  TNo_Dialogs dialogs;
  TNo_Desktop desktop;
  TEnvironment environment{bus.UsbXpress(), bus.Manufacturing(), clock, timers, dialogs, desktop, {}};
  TForm1 form(environment);
  form.FormCreate();
  form.PageControl1->setCurrentWidget(form.TabSheet2);  // as the user selects "Control Mode"
  for (int second = 0; second < 10 && form.Controller->VOK_State != VOK_OPEN; ++second) timers.Run_For(1s);
  timers.Run_For(1s);  // the first write-back after the connection
  if (form.Controller->VOK_State != VOK_OPEN) throw std::runtime_error("the virtual board did not reach work mode");

  TDuration wire{0};
  std::chrono::steady_clock::duration real{0};
  for (int tick = 0; tick < TICKS; ++tick) {
    form.Param_Changed = true;  // every tick writes the whole set and reads it back
    const TDuration before = clock.Now();
    const auto start = std::chrono::steady_clock::now();
    form.Timer1->Tick();
    real += std::chrono::steady_clock::now() - start;
    wire += clock.Now() - before;
  }
  if (form.Controller->VOK_State != VOK_OPEN || form.Controller->CP_State != CP_ENABLED)
    throw std::runtime_error("a work-mode tick failed");
  std::fprintf(stderr, "yeli-bench: a work-mode tick takes %.3f ms for %.1f ms of wire time (%d ticks)\n",
              1e3 * Seconds(real) / TICKS, 1e3 * Seconds(wire) / TICKS, TICKS);
  return Seconds(real) / Seconds(wire);
}
