// The line the program logs after its own message when a device fails for a reason the user can
// fix: no permission, the device went away, another program holds it.
#pragma once

#include <string>

// Whether an errno value says that the device has left the bus.
bool Device_Gone(int error);

// Empty when the errno value is nothing the user can act on.
std::string Failure_Line(const std::string& device, int error);
