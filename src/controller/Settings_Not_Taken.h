// What a configuration file's settings and the controller's read-back can tell before and after a
// load: a setting the controller cannot hold, and the settings it did not take.
#pragma once

#include "controller/TVOK_Prop.h"

#include <string>

// The settings the controller reports back otherwise than they were sent, as "PWM_IN_0 is 500, not
// 450, ..."; empty when it took them all. The filter running time, which the controller counts on,
// and the mode word, which it never reports, are not compared.
std::string Settings_Not_Taken(const TVOK_Prop& sent, const TVOK_Prop& read_back);

// The first setting outside the controller's 16 bits, which would reach it cut to its low 16 bits,
// as "PWM_IN_0 = 70000 does not fit the controller's 0 to 65535"; empty when all fit.
std::string Unsendable_Setting(const TVOK_Prop& prop);
