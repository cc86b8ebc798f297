#include "controller/TVOK_Yeli.h"

#include "controller/Parameter_Protocol.h"

#include <algorithm>

TVOK_Yeli::TVOK_Yeli(TUsbXpress& usb, TClock& clock) : TSTM32(usb, clock) {}

bool TVOK_Yeli::GetParam(std::uint8_t Param, std::int32_t& value) {
  Send_Chip_Byte(FRAME_START);
  Send_Chip_Byte(FRAME_READ);
  Send_Chip_Byte(Param);
  std::uint8_t high = 0;
  std::uint8_t low = 0;
  Read_Chip_Byte(&high);
  const bool answered = Read_Chip_Byte(&low) == SI_SUCCESS;
  value = high * 256 + low;
  return answered;
}

// Only the low 16 bits of a value reach the controller.
bool TVOK_Yeli::Send_Write(std::uint8_t id, std::int32_t value) {
  Send_Chip_Byte(FRAME_START);
  Send_Chip_Byte(FRAME_WRITE);
  Send_Chip_Byte(id);
  Send_Chip_Byte(static_cast<std::uint8_t>(value >> 8));
  return Send_Chip_Byte(static_cast<std::uint8_t>(value)) == SI_SUCCESS;
}

// An id that names no setting is written with the value 0.
bool TVOK_Yeli::SetParam(std::uint8_t param1) {
  const auto setting = std::find_if(FULL_WRITE.begin(), FULL_WRITE.end(),
                                    [param1](const TParameter& parameter) { return parameter.Id == param1; });
  return Send_Write(param1, setting == FULL_WRITE.end() ? 0 : Prop.*setting->Field);
}

// At a failed read the fields before it hold new values and those after it their old ones; the
// tachometers are scaled only after every read succeeded.
bool TVOK_Yeli::GetConfigIO() {
  for (const TParameter& parameter : FULL_READ)
    if (!GetParam(parameter.Id, Prop.*parameter.Field)) return false;
  Prop.T_O_IN *= TACHO_SCALE;
  Prop.T_O_OUT *= TACHO_SCALE;
  return true;
}

// A pending filter-time reset is sent once, after the settings, whether or not they got through.
bool TVOK_Yeli::SetConfigIO() {
  const bool written = std::all_of(FULL_WRITE.begin(), FULL_WRITE.end(),
                                   [this](const TParameter& parameter) { return SetParam(parameter.Id); });
  if (ResTime) {
    Send_Write(PARAM_RESET_FILTER_TIME, 0);
    ResTime = false;
  }
  return written;
}
