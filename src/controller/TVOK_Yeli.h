// The controller object: the bridge port, the bootloader and the parameter protocol in one, with the
// live parameter record and the link supervisor's state and pending action.
#pragma once

#include "controller/TVOK_Prop.h"
#include "firmware/TSTM32.h"

#include <cstdint>

enum TVOKState : std::uint8_t { VOK_OPEN, VOK_CLOSE, VOK_CHECK_VCP_CONN, VOK_CHECK_USB_CONN };

enum TVOKAction : std::uint8_t {
  VOK_NONE,
  VOK_TO_SWITCH_DRIVER,
  VOK_TO_UPDATE_FIRM,
  VOK_TO_WORK_MODE,
  VOK_TO_FIRM_MODE,
  VOK_TO_SAVE_PARAM
};

class TVOK_Yeli final : public TSTM32 {
public:
  TVOK_Yeli(TUsbXpress& usb, TClock& clock);

  // Reads one parameter; true when both answer bytes arrived, each within the read time-out. Only
  // then is the value stored.
  bool GetParam(std::uint8_t Param, std::int32_t& value);
  // Writes the record field of a settings id; true when the last byte was sent.
  bool SetParam(std::uint8_t param1);
  // Every readable parameter into Prop; stops at the first failed read, and Prop then stays as it was.
  bool GetConfigIO();
  // Every setting from Prop, then the filter-time reset while ResTime is set.
  bool SetConfigIO();

  TVOK_Prop Prop;
  TVOKState VOK_State = VOK_CLOSE;
  bool ResTime = false;
  TVOKAction VOK_Action = VOK_NONE;

private:
  bool Send_Write(std::uint8_t id, std::int32_t value);
};
