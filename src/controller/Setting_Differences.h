// What can be told of settings before they are sent and after they are read back: a setting the
// controller cannot hold, and the settings in which two records differ.
#pragma once

#include "controller/TVOK_Prop.h"

#include <string>

// The settings that `read_back` holds otherwise than `expected`, as "PWM_IN_0 is 500, not 450, ...";
// empty when they agree. The filter running time, which the controller counts on, and the mode
// word, which it never reports, are not compared.
std::string Setting_Differences(const TVOK_Prop& expected, const TVOK_Prop& read_back);

// The first setting outside the controller's 16 bits, which would reach it cut to its low 16 bits,
// as "PWM_IN_0 = 70000 does not fit the controller's 0 to 65535"; empty when all fit.
std::string Unsendable_Setting(const TVOK_Prop& prop);
