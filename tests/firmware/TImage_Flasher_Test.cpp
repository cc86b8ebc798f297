// The writer's frames byte by byte against a scripted bridge; the virtual board's tests cover whole
// images on a modelled chip.
#include "firmware/THex_Image.h"
#include "support/THex_Text.h"
#include "firmware/TImage_Flasher.h"
#include "firmware/TSTM32.h"
#include "platform/TVirtual_Clock.h"
#include "support/TScripted_UsbXpress.h"

#include <gtest/gtest.h>

using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::uint8_t ACK = 0x79;
constexpr std::uint8_t NACK = 0x1F;

THex_Image Image_Of(const std::string& text) {
  auto parsed = THex_Image::Parse(text, {FLASH_START, 0x08020000});
  if (auto* problem = std::get_if<THex_Problem>(&parsed)) ADD_FAILURE() << problem->Text();
  return std::get<THex_Image>(std::move(parsed));
}

TBytes Address_Frame(std::uint32_t address) {
  TBytes frame{static_cast<std::uint8_t>(address >> 24), static_cast<std::uint8_t>(address >> 16),
               static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
  frame.push_back(frame[0] ^ frame[1] ^ frame[2] ^ frame[3]);
  return frame;
}

// Write Memory of `data` at `address`, as the host sends it.
TBytes Write_Frames(std::uint32_t address, const TBytes& data) {
  TBytes frames{0x31, 0xCE};
  const TBytes at = Address_Frame(address);
  frames.insert(frames.end(), at.begin(), at.end());
  std::uint8_t sum = static_cast<std::uint8_t>(data.size() - 1);
  frames.push_back(sum);
  for (std::uint8_t byte : data) sum ^= byte;
  frames.insert(frames.end(), data.begin(), data.end());
  frames.push_back(sum);
  return frames;
}

struct TFlasher : testing::Test {
  TScripted_UsbXpress Usb;
  TVirtual_Clock Clock;
  TSTM32 Chip{Usb, Clock};
  TFlash_Progress Progress;

  TFlasher() {
    Chip.W_Mem_ = 0x31;
    Chip.R_Mem_ = 0x11;
    Chip.Flash_S_ = FLASH_START;
    Chip.Flash_F_ = 0x08020000;
  }
  void Answer(const TBytes& bytes) { Usb.Answers.insert(Usb.Answers.end(), bytes.begin(), bytes.end()); }
  void Acknowledge_Writes(int blocks) { Answer(TBytes(3 * blocks, ACK)); }
  void Read_Back(const TBytes& flash) {
    Answer({ACK, ACK, ACK});
    Answer(flash);
  }
};
}  // namespace

TEST_F(TFlasher, Writes_16_Byte_Records_In_Blocks_Of_256_And_Reads_Each_Back) {
  const TBytes data = Pattern(1000);
  const THex_Image image = Image_Of(Data_Records(FLASH_START, data, 16) + END);
  Acknowledge_Writes(4);
  for (std::size_t at = 0; at < 1000; at += 256) Read_Back({data.begin() + at, data.begin() + std::min<std::size_t>(at + 256, 1000)});

  EXPECT_EQ(Flash_Image(Chip, image, Progress).Result, FLASH_VERIFIED);

  TBytes expected;
  for (std::size_t at = 0; at < 1000; at += 256) {
    const TBytes frames = Write_Frames(FLASH_START + static_cast<std::uint32_t>(at),
                                       {data.begin() + at, data.begin() + std::min<std::size_t>(at + 256, 1000)});
    expected.insert(expected.end(), frames.begin(), frames.end());
  }
  ASSERT_GE(Usb.Sent.size(), expected.size());
  EXPECT_EQ(TBytes(Usb.Sent.begin(), Usb.Sent.begin() + expected.size()), expected);
  EXPECT_EQ(TBytes(Usb.Sent.begin(), Usb.Sent.begin() + 8), (TBytes{0x31, 0xCE, 0x08, 0x00, 0x00, 0x00, 0x08, 0xFF}));
  EXPECT_EQ(Usb.Sent[3 * 265 + 6], 0x0B);   // the fourth block's address checksum...
  EXPECT_EQ(Usb.Sent[3 * 265 + 7], 0xE7);   // ...and its count byte: 232 bytes
  // Then the read-back: Read Memory, the address, 256 bytes (0xFF and its complement).
  EXPECT_EQ(TBytes(Usb.Sent.begin() + expected.size(), Usb.Sent.begin() + expected.size() + 9),
            (TBytes{0x11, 0xEE, 0x08, 0x00, 0x00, 0x00, 0x08, 0xFF, 0x00}));
  EXPECT_EQ(Usb.Sent.size(), expected.size() + 4 * 9);
  EXPECT_EQ(Progress.Done, 8u);
  EXPECT_EQ(Progress.Total, 8u);
}

TEST_F(TFlasher, Skips_Blocks_Without_Data_And_Pads_The_Last_To_Whole_Words) {
  // A byte at the start and five at +0x300: block 0 holds one byte and 255 of 0xFF, blocks 1 and 2
  // hold nothing, block 3 ends with its last byte, padded to 8.
  const THex_Image image = Image_Of(Record(0, 0x04, {0x08, 0x00}) + Record(0x0000, 0x00, {0xA5}) +
                                    Record(0x0300, 0x00, {1, 2, 3, 4, 5}) + END);
  Acknowledge_Writes(2);
  TBytes first(256, 0xFF);
  first[0] = 0xA5;
  Read_Back(first);
  Read_Back({1, 2, 3, 4, 5, 0xFF, 0xFF, 0xFF});

  EXPECT_EQ(Flash_Image(Chip, image, Progress).Result, FLASH_VERIFIED);
  TBytes expected = Write_Frames(FLASH_START, first);
  const TBytes last = Write_Frames(FLASH_START + 0x300, {1, 2, 3, 4, 5, 0xFF, 0xFF, 0xFF});
  expected.insert(expected.end(), last.begin(), last.end());
  EXPECT_EQ(TBytes(Usb.Sent.begin(), Usb.Sent.begin() + expected.size()), expected);
}

TEST_F(TFlasher, Stops_At_The_First_Block_The_Chip_Does_Not_Acknowledge) {
  const THex_Image image = Image_Of(Data_Records(FLASH_START, Pattern(1024), 16) + END);
  Acknowledge_Writes(2);
  Answer({ACK, NACK});  // the third block's address is refused

  const TFlash_Outcome outcome = Flash_Image(Chip, image, Progress);
  EXPECT_EQ(outcome.Result, FLASH_NOT_WRITTEN);
  EXPECT_EQ(outcome.Address, FLASH_START + 512);
  EXPECT_EQ(Usb.Sent.size(), 2 * 265 + 7u);  // nothing after the refused address
  EXPECT_EQ(Progress.Done, 2u);
}

TEST_F(TFlasher, The_Read_Back_Names_The_First_Byte_That_Differs_Or_The_Block_That_Did_Not_Come) {
  const TBytes data = Pattern(512);
  const THex_Image image = Image_Of(Data_Records(FLASH_START, data, 32) + END);
  struct TCase {
    const char* Name;
    TBytes Second_Block;  // what the chip reads back there
    TFlash_Outcome Expected;
  };
  TBytes bit_stuck(data.begin() + 256, data.end());
  bit_stuck[17] ^= 0x04;
  const TCase cases[] = {
      {"a cleared bit", bit_stuck, {FLASH_DIFFERENT, FLASH_START + 256 + 17}},
      {"a short answer", TBytes(data.begin() + 256, data.begin() + 300), {FLASH_NOT_READ, FLASH_START + 256}},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    Usb.Answers.clear();
    Acknowledge_Writes(2);
    Read_Back({data.begin(), data.begin() + 256});
    Read_Back(test.Second_Block);
    const TFlash_Outcome outcome = Flash_Image(Chip, image, Progress);
    EXPECT_EQ(outcome.Result, test.Expected.Result);
    EXPECT_EQ(outcome.Address, test.Expected.Address);
    EXPECT_TRUE(outcome.Written());
  }
}

TEST_F(TFlasher, An_Image_Beyond_This_Chips_Flash_Is_Not_Written_At_All) {
  auto parsed = THex_Image::Parse(Record(0, 0x04, {0x08, 0x03}) + Record(0, 0x00, {1, 2, 3, 4}) + END,
                                  {FLASH_START, 0x08040000});
  const TFlash_Outcome outcome = Flash_Image(Chip, std::get<THex_Image>(parsed), Progress);
  EXPECT_EQ(outcome.Result, FLASH_NOT_WRITTEN);
  EXPECT_EQ(outcome.Address, 0x08030000u);
  EXPECT_TRUE(Usb.Sent.empty());
}

TEST_F(TFlasher, Read_Memory_Of_A_Whole_Block_Keeps_Every_Byte) {
  Read_Back(Pattern(256));
  TBytes flash(256);
  EXPECT_TRUE(Chip.Chip_Read_Memory(0x08000100, 256, flash.data()));
  EXPECT_EQ(Usb.Sent, (TBytes{0x11, 0xEE, 0x08, 0x00, 0x01, 0x00, 0x09, 0xFF, 0x00}));
  EXPECT_EQ(flash, Pattern(256));
}
