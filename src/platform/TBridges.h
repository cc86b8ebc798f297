// The bridges of a back end (the virtual boards' bus, or the CP210x bridges of this machine) as the
// core works with them: the two bridge libraries' views, the bridges they list and the host beneath.
#pragma once

#include "platform/TBridge.h"
#include "platform/TBridge_Host.h"
#include "platform/TManufacturing.h"
#include "platform/TUsbXpress.h"

#include <cstdint>
#include <memory>
#include <string>

class TBridges {
public:
  virtual ~TBridges() = default;
  virtual TUsbXpress& UsbXpress() = 0;
  virtual TManufacturing& Manufacturing() = 0;
  // The serial device of the bridge that either view lists at `index` ("/dev/ttyUSB0",
  // "virtual:ttyUSB0"); empty when none.
  virtual std::string Serial_Device(std::uint32_t index) const = 0;
  // What the host knows of that bridge from the same listing: the chip's own product string, its
  // serial number and USB path; null when none.
  virtual const TBridge* Bridge(std::uint32_t index) const = 0;
  // What both views are made of.
  virtual TBridge_Host& Host() = 0;

  // The bridge on `usb_path` alone, through views of its own: several such views work on their
  // bridges at once, each from a thread of its own, and none of them opens another's tty.
  std::unique_ptr<TBridges> One_Bridge(const std::string& usb_path);
};
