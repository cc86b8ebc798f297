// The bridges yeli-service and yeli-cli work with: the built-in virtual controller under --simulate,
// the CP210x bridges attached to this machine otherwise (under the roots the environment names).
#pragma once

#include "platform/TBridge.h"
#include "platform/TBridge_Host.h"
#include "platform/TClock.h"
#include "platform/TManufacturing.h"
#include "platform/TUsbXpress.h"
#include "supervisor/TService_Options.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TService_Bridges {
public:
  virtual ~TService_Bridges() = default;
  virtual TUsbXpress& UsbXpress() = 0;
  virtual TManufacturing& Manufacturing() = 0;
  // The serial device of the bridge that the manufacturing view lists at `index`; empty when none.
  virtual std::string Serial_Device(std::uint32_t index) = 0;
  // What the host knows of that bridge from the same listing: the chip's own product string, its
  // serial number and USB path; null when none.
  virtual const TBridge* Bridge(std::uint32_t index) = 0;
  // What both views are made of.
  virtual TBridge_Host& Host() = 0;
};

// The bridge on `usb_path` of `bridges` alone, through views of its own: several such views work on
// their bridges at once, each from a thread of its own, and none of them opens another's tty.
std::unique_ptr<TService_Bridges> One_Bridge_Of(TService_Bridges& bridges, const std::string& usb_path);

// Nothing, with the reason in `error`, when the virtual controller's state file cannot be used.
// `report` hears of a state file that could not be saved later on.
std::unique_ptr<TService_Bridges> Make_Service_Bridges(const TService_Options& options, TClock& clock,
                                                       std::function<void(const std::string&)> report,
                                                       std::string& error);
