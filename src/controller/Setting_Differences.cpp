#include "controller/Setting_Differences.h"

#include "controller/Parameter_Protocol.h"

namespace {
constexpr std::int32_t CONTROLLER_MAX = 0xFFFF;  // the controller holds 16 bits per parameter

std::string Field_Name(std::int32_t TVOK_Prop::*member) {
  for (const TProp_Field& field : VOK_PROP_FIELDS)
    if (field.Member == member) return field.Name;
  return {};
}
}  // namespace

std::string Setting_Differences(const TVOK_Prop& expected, const TVOK_Prop& read_back) {
  std::string differences;
  for (const TParameter& setting : FULL_WRITE) {
    if (setting.Field == &TVOK_Prop::Time || setting.Field == &TVOK_Prop::mode) continue;
    if (expected.*setting.Field == read_back.*setting.Field) continue;
    differences += (differences.empty() ? "" : ", ") + Field_Name(setting.Field) + " is " +
                   std::to_string(read_back.*setting.Field) + ", not " + std::to_string(expected.*setting.Field);
  }
  return differences;
}

std::string Unsendable_Setting(const TVOK_Prop& prop) {
  for (const TParameter& setting : FULL_WRITE) {
    const std::int32_t value = prop.*setting.Field;
    if (value < 0 || value > CONTROLLER_MAX)
      return Field_Name(setting.Field) + " = " + std::to_string(value) + " does not fit the controller's 0 to 65535";
  }
  return {};
}
