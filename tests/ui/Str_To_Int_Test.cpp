#include "ui/Str_To_Int.h"

#include <gtest/gtest.h>

TEST(Str_To_Int, Whole_Numbers_In_Range) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"0", 0}, {"8760", 8760}, {"-12", -12}, {"+7", 7}, {"007", 7}, {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1}};
  for (auto [text, value] : cases) EXPECT_EQ(Str_To_Int(text), value) << text;
}

TEST(Str_To_Int, Anything_Else_Is_Not_A_Valid_Integer_Value) {
  for (const char* text : {"", "-", "abc", "12a", " 12", "1.5", "2147483648", "-2147483649", "99999999999999999999"}) {
    try {
      Str_To_Int(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const TConvert_Error& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}
