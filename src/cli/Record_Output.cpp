#include "cli/Record_Output.h"

#include "cli/Cli_Text.h"

#include <QJsonArray>

#include <array>
#include <iomanip>
#include <utility>

namespace {
using TMember = std::int32_t TVOK_Prop::*;

// Fields missing here (Time_Al, CNTR_GB, Cur_S, MAX_DIFF, DISREGARD, mode) have no unit.
const std::array<std::pair<TMember, const char*>, 27> UNITS = {{
    {&TVOK_Prop::FirmW, "major * 256 + minor"},
    {&TVOK_Prop::PWM_IN_0, "0.1 %"}, {&TVOK_Prop::PWM_IN_1, "0.1 %"}, {&TVOK_Prop::PWM_IN_2, "0.1 %"},
    {&TVOK_Prop::PWM_IN_3, "0.1 %"}, {&TVOK_Prop::PWM_OUT_0, "0.1 %"}, {&TVOK_Prop::PWM_OUT_1, "0.1 %"},
    {&TVOK_Prop::PWM_OUT_2, "0.1 %"}, {&TVOK_Prop::PWM_OUT_3, "0.1 %"}, {&TVOK_Prop::PWM_IN_F, "0.1 %"},
    {&TVOK_Prop::PWM_OUT_F, "0.1 %"}, {&TVOK_Prop::PWM_IN_H, "0.1 %"}, {&TVOK_Prop::PWM_OUT_H, "0.1 %"},
    {&TVOK_Prop::T_O_IN, "pulses/min"}, {&TVOK_Prop::T_O_OUT, "pulses/min"},
    {&TVOK_Prop::V_in, "1/333 V"}, {&TVOK_Prop::T_in, "°C + 40"},
    {&TVOK_Prop::Time, "10 min"}, {&TVOK_Prop::L_Time, "10 min"},
    {&TVOK_Prop::F_In, "1 = closed"}, {&TVOK_Prop::B_P, "0 = closed"},
    {&TVOK_Prop::B_P_E, "1 = fitted"}, {&TVOK_Prop::B_P_I, "1 = inverted"},
    {&TVOK_Prop::T_Off, "°C"}, {&TVOK_Prop::H_Lvl, "%"},
    {&TVOK_Prop::MAX_IN_RPM, "pulses/min"}, {&TVOK_Prop::MAX_OUT_RPM, "pulses/min"},
}};

constexpr int NAME_WIDTH = 12;
constexpr int VALUE_WIDTH = 11;
}  // namespace

std::string Field_Unit(TMember member) {
  for (const auto& [field, unit] : UNITS)
    if (field == member) return unit;
  return {};
}

void Print_Record(const TCli_Context& context, const TVOK_Prop& prop) {
  if (!context.Options.Json) {
    for (const TProp_Field& field : VOK_PROP_FIELDS) {
      const std::string unit = Field_Unit(field.Member);
      context.Out << std::left << std::setw(NAME_WIDTH) << field.Name << std::right << std::setw(VALUE_WIDTH)
                  << prop.*field.Member << (unit.empty() ? "" : "  " + unit) << '\n';
    }
    return;
  }
  QJsonArray fields;
  for (const TProp_Field& field : VOK_PROP_FIELDS)
    fields.append(QJsonObject{{"name", field.Name},
                              {"value", prop.*field.Member},
                              {"unit", QString::fromStdString(Field_Unit(field.Member))}});
  Print_Json(context.Out, {{"fields", fields}});
}

void Print_Differences(const TCli_Context& context, const TVOK_Prop& a, const TVOK_Prop& b, const std::string& first,
                       const std::string& second) {
  QJsonArray differences;
  for (const TProp_Field& field : VOK_PROP_FIELDS) {
    if (a.*field.Member == b.*field.Member) continue;
    const std::string unit = Field_Unit(field.Member);
    differences.append(QJsonObject{
        {"name", field.Name}, {"a", a.*field.Member}, {"b", b.*field.Member}, {"unit", QString::fromStdString(unit)}});
    if (!context.Options.Json)
      context.Out << field.Name << ": " << a.*field.Member << " -> " << b.*field.Member
                  << (unit.empty() ? "" : " (" + unit + ")") << '\n';
  }
  if (context.Options.Json)
    Print_Json(context.Out, {{"equal", differences.isEmpty()}, {"differences", differences}});
  else if (differences.isEmpty())
    context.Out << first << " and " << second << " hold the same " << VOK_PROP_FIELDS.size() << " values\n";
}
