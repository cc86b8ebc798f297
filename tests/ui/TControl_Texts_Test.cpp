#include "ui/Status_Texts.h"

#include <gtest/gtest.h>

TEST(Voltage_Text, Rounds_To_Two_Significant_Digits_Before_Writing_Two_Decimals) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {0, "0.00V"},      {1, "0.00V"},       {2, "0.01V"},     {5, "0.02V"},      {332, "1.00V"},
      {333, "1.00V"},    {1234, "3.70V"},    {1500, "4.50V"},  {3329, "10.00V"},  {4000, "12.00V"},
      {33133, "99.00V"}, {33134, "100.00V"}, {65535, "200.00V"}, {-1234, "-3.70V"}, {-1, "0.00V"}};
  for (auto [v_in, text] : cases) EXPECT_EQ(Voltage_Text(v_in, QLocale::c()), text) << v_in;
}

TEST(Voltage_Text, Takes_The_Decimal_Separator_Of_The_Locale) {
  EXPECT_EQ(Voltage_Text(1234, QLocale(QLocale::German, QLocale::Germany)), "3,70V");
}

TEST(Temperature_Text, Shows_Degrees_Up_To_50_And_A_Fault_Above) {
  const std::pair<std::int32_t, const char*> cases[] = {{0, "-40°C"}, {61, "21°C"}, {90, "50°C"}, {91, "fault"}};
  for (auto [t_in, text] : cases) EXPECT_EQ(Temperature_Text(t_in), QString::fromUtf8(text)) << t_in;
}
