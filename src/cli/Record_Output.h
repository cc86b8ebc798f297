// The parameter record on standard output: every field with its name, value and unit, as aligned
// text or as JSON; and the fields in which two records differ.
#pragma once

#include "cli/TCli_Context.h"
#include "controller/TVOK_Prop.h"

#include <string>

// The unit of a record field's value as the record holds it ("0.1 %", "pulses/min").
std::string Field_Unit(std::int32_t TVOK_Prop::*member);

void Print_Record(const TCli_Context& context, const TVOK_Prop& prop);
// `first` and `second` name the two records in the text.
void Print_Differences(const TCli_Context& context, const TVOK_Prop& a, const TVOK_Prop& b, const std::string& first,
                       const std::string& second);
