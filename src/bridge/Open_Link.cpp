#include "bridge/Open_Link.h"

TSequence_Stage Open_Link(TCP21xx& port, std::uint16_t line_control) {
  if (!port.CP_Connect()) {
    port.CP_State = CP_CLOSE;
    return STAGE_NO_BRIDGE;
  }
  port.CP_State = CP_BUSY;
  if (!port.Init_CP(line_control)) {
    port.CP_State = CP_CLOSE;
    return STAGE_NOT_OPENED;
  }
  return STAGE_DONE;
}

void Close_Link(TCP21xx& port) {
  port.Close();
  port.CP_State = CP_CLOSE;
}

void Log_Open_Failure(const TCP21xx& port, TSequence_Stage stage, TLog& log) {
  if (stage != STAGE_NO_BRIDGE && stage != STAGE_NOT_OPENED) return;
  log.Add(stage == STAGE_NO_BRIDGE ? "Error connection" : "Error CP init");
  if (const std::string cause = port.Port_Error(); !cause.empty()) log.Add(cause);
}
