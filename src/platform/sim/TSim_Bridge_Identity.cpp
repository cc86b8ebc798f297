#include "platform/sim/TSim_Bridge_Identity.h"

TSim_Bridge_Identity Standard_Identity(std::uint16_t pid) {
  if (pid == SIM_VCP_PID) return {SIM_CP210X_VID, SIM_VCP_PID, SIM_VCP_PRODUCT, SIM_DRIVER_VCP};
  return {SIM_CP210X_VID, SIM_USBXPRESS_PID, SIM_USBXPRESS_PRODUCT, SIM_DRIVER_USBXPRESS};
}

TSim_Bridge_Identity Enumerated_Identity(const TSim_Bridge_Identity& before, std::uint16_t pid) {
  if (before.Vid == SIM_CP210X_VID && (pid == SIM_VCP_PID || pid == SIM_USBXPRESS_PID)) return Standard_Identity(pid);
  return {before.Vid, pid, before.Product, SIM_DRIVER_NONE};
}

bool Listed_By(TSim_View view, TSim_Driver driver) {
  if (view == SIM_VIEW_USBXPRESS) return driver == SIM_DRIVER_USBXPRESS;
  return driver != SIM_DRIVER_NONE;
}
