// Finding the one attached bridge in either driver mode, reporting its identifiers in the program
// log, and switching its driver mode by rewriting its product id.
#pragma once

#include "bridge/TCP21xx.h"
#include "platform/TClock.h"
#include "platform/TLog.h"
#include "platform/TManufacturing.h"

#include <cstdint>
#include <functional>

// Results of Search_Device.
inline constexpr int SEARCH_NONE = 0;       // nothing, a failed read, or neither product string
inline constexpr int SEARCH_VCP = 1;        // one bridge in virtual-COM-port mode
inline constexpr int SEARCH_USBXPRESS = 2;  // one bridge in USBXpress mode
inline constexpr int SEARCH_SEVERAL = 3;    // more than one device attached

// Driver modes of Change_Driver_Mode.
inline constexpr std::uint8_t MODE_VCP = 0;
inline constexpr std::uint8_t MODE_USBXPRESS = 1;

// The two lines that ask the user to leave only the controller attached.
void Log_Several_Devices(TLog& log);

// Asked before a product id is written that the bridge can take only once (a CP2104); true: write
// it. Without one, such a switch is refused.
using TConfirm_Permanent = std::function<bool()>;

class TDevice_Discovery {
public:
  TDevice_Discovery(TManufacturing& manufacturing, TCP21xx& port, TClock& clock, TLog& program_log, TPump pump,
                    TConfirm_Permanent confirm_permanent = {});

  int Search_Device();
  bool Get_PID_VID();
  bool Check_conn();
  // Writes the product id of `mode` and resets the bridge, which comes back in that mode.
  void Change_Driver_Mode(std::uint8_t mode);

  SI_DEVICE_STRING Product_String{};  // of device 0, as last read
  CP210x_HANDLE Handle = 0;           // valid between an open and its close within one call

private:
  bool Read_Product_String();
  // False when the bridge can take the product id only once and that was not confirmed.
  bool Permanent_Change_Allowed();

  TManufacturing& Manufacturing_;
  TCP21xx& Port_;
  TClock& Clock_;
  TLog& Log_;
  TPump Pump_;
  TConfirm_Permanent Confirm_Permanent_;
};
