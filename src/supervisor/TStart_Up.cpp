#include "supervisor/TStart_Up.h"

#include "platform/TReal_Clock.h"
#include "supervisor/TService_Options.h"
#include "ui/TApplication_Title.h"
#include "ui/TCarbon_Style.h"
#include "ui/TForm1.h"
#include "ui/TQt_Dialogs.h"
#include "ui/TQt_Timer_Engine.h"
#include "ui/TWindow_Fonts.h"

#include <QApplication>

#include <cstdio>
#include <iostream>

namespace {
constexpr int EXIT_USAGE = 2;

std::vector<std::string> Arguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

// Until the virtual board and the hardware layer are here: a machine with no bridge attached.
class TNo_Bridges {
  struct TNo_UsbXpress final : TUsbXpress {
    SI_STATUS Get_Num_Devices(std::int32_t& count) override { count = 0; return SI_SUCCESS; }
    SI_STATUS Get_Product_String(std::uint32_t, SI_DEVICE_STRING&, std::uint32_t) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS Open(std::uint32_t, SI_HANDLE&) override { return SI_DEVICE_NOT_FOUND; }
    SI_STATUS Close(SI_HANDLE) override { return SI_INVALID_HANDLE; }
    SI_STATUS Read(SI_HANDLE, std::uint8_t*, std::uint32_t, std::uint32_t& read) override { read = 0; return SI_INVALID_HANDLE; }
    SI_STATUS Write(SI_HANDLE, const std::uint8_t*, std::uint32_t, std::uint32_t& written) override { written = 0; return SI_INVALID_HANDLE; }
    SI_STATUS Flush_Buffers(SI_HANDLE, std::uint8_t, std::uint8_t) override { return SI_INVALID_HANDLE; }
    SI_STATUS Set_Timeouts(std::uint32_t, std::uint32_t) override { return SI_SUCCESS; }
    SI_STATUS Set_Baud_Rate(SI_HANDLE, std::uint32_t) override { return SI_INVALID_HANDLE; }
    SI_STATUS Set_Line_Control(SI_HANDLE, std::uint16_t) override { return SI_INVALID_HANDLE; }
    SI_STATUS Set_Flow_Control(SI_HANDLE, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override { return SI_INVALID_HANDLE; }
    SI_STATUS Get_Modem_Status(SI_HANDLE, std::uint8_t&) override { return SI_INVALID_HANDLE; }
    std::string Last_Error() const override { return {}; }
  } Usb_;
  struct TNo_Manufacturing final : TManufacturing {
    CP210x_STATUS Get_Num_Devices(std::uint32_t& count) override { count = 0; return CP210x_SUCCESS; }
    CP210x_STATUS Get_Product_String(std::uint32_t, SI_DEVICE_STRING&, std::uint32_t) override { return CP210x_DEVICE_NOT_FOUND; }
    CP210x_STATUS Open(std::uint32_t, CP210x_HANDLE&) override { return CP210x_DEVICE_NOT_FOUND; }
    CP210x_STATUS Close(CP210x_HANDLE) override { return CP210x_INVALID_HANDLE; }
    CP210x_STATUS Get_Device_Vid(CP210x_HANDLE, std::uint16_t&) override { return CP210x_INVALID_HANDLE; }
    CP210x_STATUS Get_Device_Pid(CP210x_HANDLE, std::uint16_t&) override { return CP210x_INVALID_HANDLE; }
    CP210x_STATUS Set_Pid(CP210x_HANDLE, std::uint16_t) override { return CP210x_INVALID_HANDLE; }
    CP210x_STATUS Reset(CP210x_HANDLE) override { return CP210x_INVALID_HANDLE; }
    std::string Last_Error() const override { return {}; }
  } Manufacturing_;

public:
  TUsbXpress& UsbXpress() { return Usb_; }
  TManufacturing& Manufacturing() { return Manufacturing_; }
};
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

  TNo_Bridges bridges;
  TReal_Clock clock;
  TQt_Timer_Engine timers;
  TQt_Dialogs dialogs;
  TQt_Desktop desktop;
  const std::filesystem::path program_folder = QCoreApplication::applicationDirPath().toStdString();
  // The virtual board's default firmware lies apart from the vendor's, so it never reaches real hardware.
  const bool simulated = std::get<TService_Options>(parsed).Simulate.has_value();
  const std::filesystem::path restore_folder = program_folder / (simulated ? "sim/Restore" : "Restore");
  TEnvironment environment{bridges.UsbXpress(), bridges.Manufacturing(), clock, timers, dialogs, desktop, program_folder,
                           restore_folder};

  TForm1 form(environment);
  form.FormCreate();
  form.show();
  return application.exec();
}
