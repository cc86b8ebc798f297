#include "app/Run_Yeli_Service.h"

#include "app/Make_Service_Bridges.h"
#include "app/TService_Options.h"
#include "platform/TClock.h"
#include "ui/Application_Title.h"
#include "ui/Carbon_Style.h"
#include "ui/Data_Folders.h"
#include "ui/Qt_Adapters.h"
#include "ui/TForm1.h"
#include "ui/TStop_Signals.h"
#include "ui/Window_Fonts.h"

#include <QApplication>

#include <cstdio>
#include <iostream>

namespace {
constexpr int EXIT_USAGE = 2;

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }
}  // namespace

int Run_Yeli_Service(int argc, char** argv) {
  const auto parsed = Parse_Service_Options(Arguments(argc, argv));
  if (const auto* error = std::get_if<TOption_Error>(&parsed)) {
    std::cerr << "yeli-service: " << error->Message << "\n\n" << Service_Usage();
    return EXIT_USAGE;
  }
  if (const auto* request = std::get_if<TService_Request>(&parsed)) {
    std::cout << (*request == SHOW_HELP ? Service_Usage() : Service_Version());
    return 0;
  }

  QApplication application(argc, argv);
  Use_Window_Fonts();
  Apply_Carbon_Style(application);
  QCoreApplication::setApplicationName(APPLICATION_TITLE);

  TService_Options options = std::get<TService_Options>(parsed);
  if (const std::string seed = Settle_Sim_Seed(options); !seed.empty()) std::cerr << "yeli-service: " << seed << "\n";
  TReal_Clock clock;
  std::string error;
  const auto bridges = Make_Service_Bridges(
      options, clock,
      [](const std::string& problem) { std::cerr << "yeli-service: " << problem << "\n"; }, error);
  if (!bridges) {
    std::cerr << "yeli-service: " << error << "\n";
    return 1;
  }
  TQt_Timer_Engine timers;
  TQt_Dialogs dialogs;
  TQt_Desktop desktop;
  const std::filesystem::path program_folder = QCoreApplication::applicationDirPath().toStdString();
  // The virtual board's default firmware lies apart from the vendor's, so it never reaches real hardware.
  const bool simulated = options.Simulate.has_value();
  const std::filesystem::path restore_folder =
      simulated ? program_folder / "sim" / "Restore" : Data_Folder(program_folder, "Restore");
  TEnvironment environment{bridges->UsbXpress(), bridges->Manufacturing(), clock, timers, dialogs, desktop, program_folder,
                           restore_folder};

  TForm1 form(environment);
  form.FormCreate();
  const TStop_Signals stop_signals([&form] { form.close(); });
  form.show();
  return application.exec();
}
