// The CP2102N's configuration checksum and the product id placed into its block.
#include "platform/CP210x_Config.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

namespace {
TBytes Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// A block of the known layout: size 0x02A6, version 1, the rest blank but for the checksum.
TBytes Blank_Block() {
  TBytes block(CP2102N_CONFIG_SIZE);
  block[0] = 0x02;
  block[1] = 0xA6;
  block[CP2102N_VERSION_AT] = CP2102N_CONFIG_VERSION;
  CP2102N_Set_Pid(block, 0xEA60);
  return block;
}
}  // namespace

// "abcde" and "abcdef" are the published test vectors of Fletcher-16; the sums starting at 0xFF
// give the same result, as 0xFF is 0 modulo 255.
TEST(TCP2102N_Config, Fletcher_16_Gives_The_Published_Values) {
  EXPECT_EQ(Fletcher16(Bytes("abcde")), 0xC8F0);
  EXPECT_EQ(Fletcher16(Bytes("abcdef")), 0x2057);
  EXPECT_EQ(Fletcher16({}), 0xFFFF);
  EXPECT_EQ(Fletcher16(TBytes{0x01, 0x02}), 0x0403);
  TBytes long_run;
  for (int round = 0; round < 2; ++round)
    for (int byte = 0; byte < 256; ++byte) long_run.push_back(static_cast<std::uint8_t>(byte));
  EXPECT_EQ(Fletcher16(long_run), 0xAAFF);  // many runs of 20 bytes, each reduced
}

TEST(TCP2102N_Config, The_Product_Id_Goes_Into_The_Descriptor_And_The_Checksum_After_The_Block) {
  TBytes block = Blank_Block();
  CP2102N_Set_Pid(block, 0xEA61);
  EXPECT_EQ(block[15], 0x61);  // little-endian, as in the USB device descriptor
  EXPECT_EQ(block[16], 0xEA);
  const std::uint16_t checksum = Fletcher16(std::span(block).first(CP2102N_CONFIG_SIZE - 2));
  EXPECT_EQ(block[CP2102N_CONFIG_SIZE - 2], checksum >> 8);  // high byte first
  EXPECT_EQ(block[CP2102N_CONFIG_SIZE - 1], checksum & 0xFF);
  EXPECT_TRUE(CP2102N_Config_Sound(block));

  TBytes damaged = block;
  damaged[200] ^= 0x01;
  EXPECT_FALSE(CP2102N_Config_Sound(damaged));
  TBytes other_version = block;
  other_version[CP2102N_VERSION_AT] = 0x02;
  CP2102N_Set_Pid(other_version, 0xEA61);
  EXPECT_FALSE(CP2102N_Config_Sound(other_version));  // a layout this program does not know
  EXPECT_FALSE(CP2102N_Config_Sound(TBytes(block.begin(), block.end() - 1)));
}
