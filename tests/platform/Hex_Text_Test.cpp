#include "platform/Hex_Text.h"

#include <gtest/gtest.h>

TEST(Hex_Text, Pads_To_The_Digits_Asked_For_In_Either_Case_And_Never_Cuts) {
  EXPECT_EQ(Hex_Text(0x3C, 4), "003C");
  EXPECT_EQ(Hex_Text(0xEA60, 4, HEX_LOWER), "ea60");
  EXPECT_EQ(Hex_Text(0x12345, 4), "12345");
  EXPECT_EQ(Hex_Text(0xFFFFFFFF, 8), "FFFFFFFF");
  EXPECT_EQ(Hex_Address(0x08003C02), "0x08003C02");
}
