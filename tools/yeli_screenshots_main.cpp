// yeli-screenshots: pictures of the real window for the manual, the README and the package's
// metainfo. It runs yeli-service's window on the virtual controller and the virtual clock, offscreen,
// drives it as a service engineer would and saves each page as a PNG. Run it with QT_SCALE_FACTOR=2
// for the pictures of a dense screen; their names then end in "@2x".
//
//   yeli-screenshots OUTPUT_FOLDER SIM_RESTORE_FOLDER
#include "platform/TVirtual_Clock.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Bus.h"
#include "ui/Carbon_Style.h"
#include "ui/TDemo_Picture.h"
#include "ui/TForm1.h"
#include "ui/TVirtual_Timer_Engine.h"
#include "ui/Unattended_Window.h"
#include "ui/Window_Fonts.h"

#include <QApplication>
#include <QTabBar>

#include <chrono>
#include <cstdio>
#include <functional>
#include <iostream>
#include <stdexcept>

using namespace std::chrono_literals;

namespace {
class TSession {
public:
  TSession(const std::filesystem::path& output, const std::filesystem::path& restore)
      : Output_(output),
        Environment_{Bus_.UsbXpress(), Bus_.Manufacturing(), Clock_, Timers_, Dialogs_, Desktop_, output, restore},
        Form_(Environment_) {
    Bus_.Attach(Simulation_Setup(SIM_FACTORY_OLD));  // old firmware, so the warning and Default firmware show
    Form_.FormCreate();
    Form_.show();
  }

  void Run() {
    // Identified: the old firmware's warning, and "Default firmware" offered.
    Run_Until([&] { return Form_.Program.Button4->isVisible(); }, "the controller was not identified");
    Save("program-mode");

    // Halfway through restoring the default firmware.
    bool saved = false;
    QObject::connect(Form_.Program.ProgressBar5, &QProgressBar::valueChanged, [&](int value) {
      QProgressBar* bar = Form_.Program.ProgressBar5;
      if (saved || !bar->isVisible() || value < bar->maximum() / 2) return;
      saved = true;
      Save("firmware-update");
    });
    Form_.Program.Button4->click();
    Run_Until([&] { return saved && Form_.Controller->VOK_State == VOK_CHECK_USB_CONN; },
              "the default firmware was not written");

    // Work mode on the new firmware.
    Form_.PageControl1->tabBar()->setCurrentIndex(1);
    Run_Until([&] { return Form_.Controller->VOK_State == VOK_OPEN; }, "work mode was not reached");
    Timers_.Run_For(3s);
    Save("control-mode");

    // The demo in its second speed.
    Form_.PageControl1->tabBar()->setCurrentIndex(2);
    Form_.findChild<TDemo_Picture*>("Image2")->OnClick();
    Timers_.Run_For(3s);
    Save("demo");
  }

private:
  void Run_Until(const std::function<bool()>& reached, const char* failure) {
    for (TDuration waited{}; !reached(); waited += 100ms) {
      if (waited > 120s) throw std::runtime_error(failure);
      Timers_.Run_For(100ms);
    }
  }

  void Save(const char* name) {
    const QPixmap picture = Form_.grab();
    const QString suffix = picture.devicePixelRatio() > 1.5 ? "@2x" : "";
    const QString file = QString::fromStdString((Output_ / name).string()) + suffix + ".png";
    if (!picture.save(file, "PNG")) throw std::runtime_error("cannot write " + file.toStdString());
    std::cout << "yeli-screenshots: " << file.toStdString() << "\n";
  }

  std::filesystem::path Output_;
  TVirtual_Clock Clock_;
  TSim_Bus Bus_{Clock_};
  TVirtual_Timer_Engine Timers_{Clock_};
  TNo_Dialogs Dialogs_;
  TNo_Desktop Desktop_;
  TEnvironment Environment_;
  TForm1 Form_;
};
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: yeli-screenshots OUTPUT_FOLDER SIM_RESTORE_FOLDER\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Use_Window_Fonts();
  Apply_Carbon_Style(application);
  try {
    TSession(argv[1], argv[2]).Run();
  } catch (const std::exception& error) {
    std::cerr << "yeli-screenshots: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
