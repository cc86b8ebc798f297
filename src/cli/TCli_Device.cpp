#include "cli/TCli_Device.h"

#include "cli/TCli_Failure.h"
#include "cli/TCli_Text.h"

namespace {
constexpr const char* BOOTLOADER_SILENT = "the controller's bootloader did not answer: is this a Yeli controller?";
constexpr const char* APPLICATION_SILENT =
    "the controller's application did not answer: is firmware in its flash? ('yeli-cli identify' tells)";

TUsbXpress& Wire(TService_Bridges& bridges, std::unique_ptr<TWire_Trace>& trace) {
  return trace ? *trace : bridges.UsbXpress();
}
}  // namespace

std::string Product_Id(const TSTM32& chip) { return Hex16(static_cast<std::uint16_t>(chip.PID_M_ << 8 | chip.PID_L_)); }

TCli_Device::TCli_Device(TCli_Context& context)
    : Context_(context), Bridges_(context.Bridges()), Log_(context.Options.Verbose ? &context.Err : nullptr),
      Trace_(context.Options.Verbose ? std::make_unique<TWire_Trace>(Bridges_.UsbXpress(), context.Err) : nullptr),
      Controller_(Wire(Bridges_, Trace_), context.Clock),
      Discovery_(Bridges_.Manufacturing(), Controller_, context.Clock, Log_, [] {},
                 [&context] { return context.Options.Permanent; }) {}

TCli_Device::~TCli_Device() { Restart_Application(); }

std::string TCli_Device::With_Port_Error(std::string message) const {
  if (const std::string cause = Controller_.Port_Error(); !cause.empty()) message += ": " + cause;
  return message;
}

int TCli_Device::Find_One_Bridge() {
  const int found = Discovery_.Search_Device();
  if (found == SEARCH_SEVERAL) Fail(EXIT_DEVICE, "several bridges are attached: remove all but the Yeli controller's");
  if (found == SEARCH_NONE)
    Fail(EXIT_DEVICE, "no Yeli controller found: is it plugged in? ('yeli-cli list' shows the bridges)");
  return found;
}

void TCli_Device::Require_Usbxpress_Bridge() {
  if (Find_One_Bridge() == SEARCH_VCP)
    Fail(EXIT_DEVICE, "the bridge is in virtual-COM-port mode: switch it with 'yeli-cli mode usbxpress'");
}

void TCli_Device::Fail_Link(TLink_Stage stage, const char* no_answer) {
  switch (stage) {
    case LINK_NO_BRIDGE: Fail(EXIT_DEVICE, With_Port_Error("the bridge does not answer as a USBXpress device"));
    case LINK_NOT_OPENED: Fail(EXIT_DEVICE, With_Port_Error("the bridge could not be opened"));
    case LINK_NO_VERSION: Fail(EXIT_DEVICE, "the bootloader refused to read the firmware version");
    case LINK_NO_ANSWER:
    case LINK_DONE: break;
  }
  Fail(EXIT_DEVICE, no_answer);
}

TIdentification TCli_Device::Identify() {
  const TIdentification identification = Identify_Controller(Controller_);
  if (identification.Stage != LINK_DONE) Fail_Link(identification.Stage, BOOTLOADER_SILENT);
  return identification;
}

void TCli_Device::Require_Known_Flash() {
  if (Controller_.Flash_F_ <= Controller_.Flash_S_)
    Fail(EXIT_DEVICE, "the chip's product id " + Product_Id(Controller_) +
                          " names no STM32F1 family whose flash this program knows");
}

void TCli_Device::Open_Bootloader() {
  if (const TLink_Stage stage = Open_Link(Controller_, LINE_8E1); stage != LINK_DONE)
    Fail_Link(stage, BOOTLOADER_SILENT);
}

// Also after a failure, so that the board goes back to work; a port that cannot be opened any more
// leaves the chip where it is.
void TCli_Device::Restart_Application() {
  if (Leave_Running(Controller_) != LINK_DONE)
    Context_.Err << "yeli-cli: warning: " << With_Port_Error("the controller could not be restarted") << '\n';
}

// A full read that failed leaves the port open.
void TCli_Device::Start_Work() {
  const TLink_Stage stage = Start_Work_Mode(Controller_);
  if (stage == LINK_DONE) return;
  if (stage == LINK_NO_ANSWER) Controller_.Close();
  Fail_Link(stage, APPLICATION_SILENT);
}

void TCli_Device::Store() {
  if (!Store_Settings(Controller_)) Fail(EXIT_DEVICE, "the controller did not answer the store command");
}
