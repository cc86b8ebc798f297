#include "cli/TCli_Device.h"

#include "cli/Cli_Text.h"
#include "cli/TCli_Failure.h"
#include "firmware/Boot_Baud.h"

std::string Unknown_Chip(const TSTM32& chip) {
  return "the chip's product id " + chip.Product_Id() + " names no STM32F1 family whose flash this program knows";
}

namespace {
constexpr const char* BOOTLOADER_SILENT = "the controller's bootloader did not answer: is this a Yeli controller?";
constexpr const char* APPLICATION_SILENT =
    "the controller's application did not answer: is firmware in its flash? ('yeli-cli identify' tells)";

TUsbXpress& Wire(TBridges& bridges, std::unique_ptr<TWire_Trace>& trace) {
  return trace ? *trace : bridges.UsbXpress();
}
}  // namespace

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
  Context_.Stop_Point();
  if (found == SEARCH_SEVERAL) Fail(EXIT_DEVICE, "several bridges are attached: remove all but the Yeli controller's, or choose with --device D or --all");
  if (found == SEARCH_NONE)
    Fail(EXIT_DEVICE, "no Yeli controller found: is it plugged in? ('yeli-cli list' shows the bridges)");
  return found;
}

void TCli_Device::Require_Usbxpress_Bridge() {
  if (Find_One_Bridge() == SEARCH_VCP)
    Fail(EXIT_DEVICE, "the bridge is in virtual-COM-port mode: switch it with 'yeli-cli mode usbxpress'");
}

void TCli_Device::Fail_Link(TSequence_Stage stage, const char* no_answer) {
  switch (stage) {
    case STAGE_NO_BRIDGE: Fail(EXIT_DEVICE, With_Port_Error("the bridge does not answer as a USBXpress device"));
    case STAGE_NOT_OPENED: Fail(EXIT_DEVICE, With_Port_Error("the bridge could not be opened"));
    case STAGE_NO_VERSION: Fail(EXIT_DEVICE, "the bootloader refused to read the firmware version");
    case STAGE_NO_ANSWER:
    case STAGE_DONE: break;
  }
  Fail(EXIT_DEVICE, no_answer);
}

std::uint32_t TCli_Device::Boot_Baud() const { return Context_.Options.Baud.value_or(BOOT_BAUD_MAX); }

void TCli_Device::Warn_If_Slowed(std::uint32_t baud) const {
  if (baud != 0 && baud < Boot_Baud())
    Context_.Err << "yeli-cli: warning: the bootloader failed at " << Boot_Baud() << " baud and worked at " << baud
                 << " baud: a long or noisy cable? (--baud chooses the rate)\n";
}

TIdentification TCli_Device::Identify() {
  Context_.Phase("identify");
  Controller_.BautRate = static_cast<std::int32_t>(Boot_Baud());
  const TIdentification identification = Identify_Controller(Controller_, Log_, BOOT_ENTRY_QUICK);
  if (identification.Stage != STAGE_DONE) Fail_Link(identification.Stage, BOOTLOADER_SILENT);
  Warn_If_Slowed(static_cast<std::uint32_t>(Controller_.BautRate));
  Context_.Stop_Point();
  return identification;
}

void TCli_Device::Require_Known_Flash() {
  if (!Controller_.Known_Chip()) Fail(EXIT_DEVICE, Unknown_Chip(Controller_));
}

void TCli_Device::Open_Bootloader() {
  if (const TSequence_Stage stage = Open_Link(Controller_, LINE_8E1); stage != STAGE_DONE)
    Fail_Link(stage, BOOTLOADER_SILENT);
}

// Also after a failure, so that the board goes back to work; a port that cannot be opened any more
// leaves the chip where it is. The restart sends no byte, so the port's rate does not matter.
void TCli_Device::Restart_Application() {
  if (Leave_Running(Controller_) != STAGE_DONE)
    Context_.Err << "yeli-cli: warning: " << With_Port_Error("the controller could not be restarted") << '\n';
  Controller_.BautRate = BOOT_BAUD_SAFE;
}

// A full read that failed leaves the port open.
void TCli_Device::Start_Work() {
  Context_.Phase("connect");
  const TSequence_Stage stage = Start_Work_Mode(Controller_);
  if (stage == STAGE_DONE) return Context_.Stop_Point();
  if (stage == STAGE_NO_ANSWER) Close_Link(Controller_);
  Fail_Link(stage, APPLICATION_SILENT);
}

void TCli_Device::Store() {
  if (!Store_Settings(Controller_)) Fail(EXIT_DEVICE, "the controller did not answer the store command");
  Context_.Stop_Point();
}
