#include "platform/Bridge_Description.h"

std::string Bridge_Description(const TBridge& bridge) {
  if (bridge.Vid == SILABS_VID && bridge.Pid == VCP_PID) return VCP_PRODUCT;
  if (bridge.Vid == SILABS_VID && bridge.Pid == USBXPRESS_PID) return USBXPRESS_PRODUCT;
  return bridge.Product;
}
