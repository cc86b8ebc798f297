#include "platform/TBridge.h"

bool Same_Bridge(const TBridge& before, const TBridge& after) {
  return before.Key.Usb_Path == after.Key.Usb_Path && before.Serial == after.Serial;
}

std::string Bridge_Name(const TBridge& bridge) { return bridge.Node.string() + " (USB " + bridge.Key.Usb_Path + ")"; }
