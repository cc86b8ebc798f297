// The controller object of one device command over the chosen bridges, with the wire trace under
// --verbose and the log of the core's sequences; and the checks, sequences and failure messages
// that the device commands share. The controller is left running its application.
#pragma once

#include "bridge/TDevice_Discovery.h"
#include "cli/TCli_Context.h"
#include "cli/TCli_Log.h"
#include "cli/TWire_Trace.h"
#include "controller/Controller_Session.h"

#include <memory>

// Why a chip whose product id the family table does not list cannot be worked on.
std::string Unknown_Chip(const TSTM32& chip);

class TCli_Device {
public:
  explicit TCli_Device(TCli_Context& context);
  ~TCli_Device();  // restarts a chip left in its bootloader into its application, closes the port
  TCli_Device(const TCli_Device&) = delete;
  TCli_Device& operator=(const TCli_Device&) = delete;

  // Fails unless exactly one bridge is attached; its mode, SEARCH_VCP or SEARCH_USBXPRESS.
  int Find_One_Bridge();
  // Fails unless exactly one bridge is attached and it runs in USBXpress mode.
  void Require_Usbxpress_Bridge();
  // Identification through the ROM bootloader at --baud, which the chip stays in; fails with the
  // reason, and warns when the bootloader took only 38400 baud.
  TIdentification Identify();
  // Fails unless identification found a chip whose memory map is known.
  void Require_Known_Flash();
  // Opens the port again for the bootloader that identification left running, at its rate.
  void Open_Bootloader();
  // Restarts a chip left in its bootloader into its application and closes the port.
  void Restart_Application();
  // The bootloader rate of this command: --baud, or the fastest.
  std::uint32_t Boot_Baud() const;
  // On standard error, when a bootloader session ended below the rate asked for.
  void Warn_If_Slowed(std::uint32_t baud) const;
  // Work mode with the full read; fails with the reason.
  void Start_Work();
  // The store-settings command; fails when the controller does not answer.
  void Store();

  TVOK_Yeli& Controller() { return Controller_; }
  TDevice_Discovery& Discovery() { return Discovery_; }
  TCli_Log& Log() { return Log_; }
  TManufacturing& Manufacturing() { return Bridges_.Manufacturing(); }

private:
  [[noreturn]] void Fail_Link(TSequence_Stage stage, const char* no_answer);
  std::string With_Port_Error(std::string message) const;

  TCli_Context& Context_;
  TBridges& Bridges_;
  TCli_Log Log_;
  std::unique_ptr<TWire_Trace> Trace_;  // before the controller, which talks through it
  TVOK_Yeli Controller_;
  TDevice_Discovery Discovery_;
};
