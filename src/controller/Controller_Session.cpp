#include "controller/Controller_Session.h"

#include "controller/Parameter_Protocol.h"
#include "controller/Setting_Differences.h"
#include "firmware/Connect_Bootloader.h"

namespace {
// The read asks with the count byte 80, so the bootloader answers with 81 bytes; the first two are used.
constexpr unsigned FIRMWARE_VERSION_ANSWER = 81;
}  // namespace

TIdentification Identify_Controller(TSTM32& chip, TLog& log, TBoot_Entry entry) {
  TIdentification identification{Open_Link(chip, LINE_8E1)};
  if (identification.Stage != STAGE_DONE) return identification;
  std::uint8_t version[FIRMWARE_VERSION_ANSWER] = {};
  if (!Connect_Bootloader(chip, log, entry)) {
    identification.Stage = STAGE_NO_ANSWER;
  } else if (!chip.Chip_Read_Memory(FIRMWARE_VERSION_ADDRESS, FIRMWARE_VERSION_ANSWER, version)) {
    identification.Stage = STAGE_NO_VERSION;
  } else {
    identification.Minor = version[0];
    identification.Major = version[1];
  }
  Close_Link(chip);
  return identification;
}

TSequence_Stage Start_Work_Mode(TVOK_Yeli& controller) {
  if (const TSequence_Stage opened = Open_Link(controller, LINE_8N1); opened != STAGE_DONE) return opened;
  controller.Chip_Disconnect();
  if (!controller.GetConfigIO()) {
    controller.CP_State = CP_CLOSE;
    return STAGE_NO_ANSWER;
  }
  controller.CP_State = CP_ENABLED;
  return STAGE_DONE;
}

TLoad_Result Load_Settings(TVOK_Yeli& controller, const TVOK_Prop& settings) {
  controller.Prop = settings;
  TLoad_Result result;
  if (!controller.SetConfigIO()) {
    result.Stage = LOAD_NOT_WRITTEN;
  } else if (!controller.GetConfigIO()) {
    result.Stage = LOAD_NOT_READ;
  } else if (result.Differences = Setting_Differences(settings, controller.Prop); !result.Differences.empty()) {
    result.Stage = LOAD_NOT_TAKEN;
  } else {
    result.Stage = LOAD_DONE;
  }
  controller.CP_State = result.Stage == LOAD_DONE ? CP_ENABLED : CP_CLOSE;
  return result;
}

bool Store_Settings(TVOK_Yeli& controller) {
  std::int32_t ignored = 0;
  return controller.GetParam(PARAM_STORE_SETTINGS, ignored);
}

TSequence_Stage Leave_Running(TSTM32& chip) {
  if (chip.Bootloader_Started) {
    if (chip.CP_State == CP_CLOSE) {
      if (const TSequence_Stage opened = Open_Link(chip, LINE_8N1); opened != STAGE_DONE) return opened;
    }
    chip.Chip_Disconnect_Quick();
  }
  if (chip.CP_State != CP_CLOSE) Close_Link(chip);
  return STAGE_DONE;
}
