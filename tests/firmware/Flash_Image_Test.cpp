// The writer's frames byte by byte against a scripted bridge; the virtual board's tests cover whole
// images on a modelled chip.
#include "firmware/Flash_Image.h"
#include "firmware/THex_Image.h"
#include "firmware/TSTM32.h"
#include "platform/TVirtual_Clock.h"
#include "support/THex_Text.h"
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

// Read Memory of `count` bytes at `address`, as the host sends it.
TBytes Read_Frames(std::uint32_t address, unsigned count) {
  TBytes frames{0x11, 0xEE};
  const TBytes at = Address_Frame(address);
  frames.insert(frames.end(), at.begin(), at.end());
  frames.push_back(static_cast<std::uint8_t>(count - 1));
  frames.push_back(static_cast<std::uint8_t>(~(count - 1)));
  return frames;
}

TBytes Joined(std::initializer_list<TBytes> parts) {
  TBytes joined;
  for (const TBytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

// 1000 bytes: the vectors' block at the flash start goes after the three others, each phase written
// in full before it is read back.
TEST_F(TFlasher, Writes_Blocks_Of_256_With_The_Vectors_Block_After_The_Rest_And_Reads_Each_Phase_Back) {
  const TBytes data = Pattern(1000);
  const THex_Image image = Image_Of(Data_Records(FLASH_START, data, 16) + END);
  const auto block = [&](std::size_t at) {
    return TBytes(data.begin() + at, data.begin() + std::min<std::size_t>(at + 256, 1000));
  };
  Acknowledge_Writes(3);
  for (std::size_t at : {256, 512, 768}) Read_Back(block(at));
  Acknowledge_Writes(1);
  Read_Back(block(0));

  EXPECT_EQ(Flash_Image(Chip, image, Progress).Result, FLASH_VERIFIED);

  EXPECT_EQ(Usb.Sent, Joined({Write_Frames(FLASH_START + 256, block(256)), Write_Frames(FLASH_START + 512, block(512)),
                              Write_Frames(FLASH_START + 768, block(768)), Read_Frames(FLASH_START + 256, 256),
                              Read_Frames(FLASH_START + 512, 256), Read_Frames(FLASH_START + 768, 232),
                              Write_Frames(FLASH_START, block(0)), Read_Frames(FLASH_START, 256)}));
  EXPECT_EQ(TBytes(Usb.Sent.begin() + 2 * 265, Usb.Sent.begin() + 2 * 265 + 8),
            (TBytes{0x31, 0xCE, 0x08, 0x00, 0x03, 0x00, 0x0B, 0xE7}));  // 232 bytes at +0x300
  EXPECT_EQ(Progress.Done, 8u);
  EXPECT_EQ(Progress.Total, 8u);
}

// The controller's image: 66 blocks, the version's (0x08003C00) written and read back last of all.
TEST_F(TFlasher, The_Version_Block_Comes_Last_After_The_Vectors_Block) {
  const TBytes data = Pattern(0x41A8);
  const THex_Image image = Image_Of(Data_Records(FLASH_START, data, 16) + END);
  std::vector<std::uint32_t> order;
  const auto block = [&](std::uint32_t at) {
    return TBytes(data.begin() + at, data.begin() + std::min<std::size_t>(at + 256, data.size()));
  };
  for (std::uint32_t at = 0x100; at < data.size(); at += 256)
    if (at != 0x3C00) order.push_back(at);
  Acknowledge_Writes(static_cast<int>(order.size()));
  for (std::uint32_t at : order) Read_Back(block(at));
  for (std::uint32_t at : {0x0000u, 0x3C00u}) {
    Acknowledge_Writes(1);
    Read_Back(block(at));
  }

  ASSERT_EQ(Flash_Image(Chip, image, Progress).Result, FLASH_VERIFIED);
  const TBytes last = Joined({Write_Frames(FLASH_START, block(0)), Read_Frames(FLASH_START, 256),
                              Write_Frames(FLASH_START + 0x3C00, block(0x3C00)), Read_Frames(FLASH_START + 0x3C00, 256)});
  EXPECT_EQ(Usb.Sent.size(), (order.size() + 2) * (265 + 9) - (256 - 0xA8));  // the last block holds 0xA8 bytes
  EXPECT_EQ(TBytes(Usb.Sent.end() - static_cast<std::ptrdiff_t>(last.size()), Usb.Sent.end()), last);
}

TEST_F(TFlasher, Skips_Blocks_Without_Data_And_Pads_The_Last_To_Whole_Words) {
  // A byte at the start and five at +0x300: block 0 holds one byte and 255 of 0xFF, blocks 1 and 2
  // hold nothing, block 3 ends with its last byte, padded to 8.
  const THex_Image image = Image_Of(Record(0, 0x04, {0x08, 0x00}) + Record(0x0000, 0x00, {0xA5}) +
                                    Record(0x0300, 0x00, {1, 2, 3, 4, 5}) + END);
  TBytes first(256, 0xFF);
  first[0] = 0xA5;
  Acknowledge_Writes(1);
  Read_Back({1, 2, 3, 4, 5, 0xFF, 0xFF, 0xFF});
  Acknowledge_Writes(1);
  Read_Back(first);

  EXPECT_EQ(Flash_Image(Chip, image, Progress).Result, FLASH_VERIFIED);
  EXPECT_EQ(Usb.Sent, Joined({Write_Frames(FLASH_START + 0x300, {1, 2, 3, 4, 5, 0xFF, 0xFF, 0xFF}),
                              Read_Frames(FLASH_START + 0x300, 8), Write_Frames(FLASH_START, first),
                              Read_Frames(FLASH_START, 256)}));
}

TEST_F(TFlasher, Stops_At_The_First_Block_The_Chip_Does_Not_Acknowledge) {
  const THex_Image image = Image_Of(Data_Records(FLASH_START, Pattern(1024), 16) + END);
  Acknowledge_Writes(2);
  Answer({ACK, NACK});  // the third block's address is refused

  const TFlash_Outcome outcome = Flash_Image(Chip, image, Progress);
  EXPECT_EQ(outcome.Result, FLASH_NOT_WRITTEN);
  EXPECT_EQ(outcome.Address, FLASH_START + 0x300);
  EXPECT_EQ(Usb.Sent.size(), 2 * 265 + 7u);  // nothing after the refused address
  EXPECT_EQ(Progress.Done, 2u);
}

TEST_F(TFlasher, A_Stop_Request_Ends_The_Writing_Before_The_Next_Block) {
  const THex_Image image = Image_Of(Data_Records(FLASH_START, Pattern(1024), 16) + END);
  TStop_Flag stop{true};
  const TFlash_Outcome outcome = Flash_Image(Chip, image, Progress, &stop);
  EXPECT_EQ(outcome.Result, FLASH_STOPPED);
  EXPECT_EQ(outcome.Address, FLASH_START + 0x100);
  EXPECT_TRUE(Usb.Sent.empty());
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
    Acknowledge_Writes(1);
    Read_Back(test.Second_Block);  // read back before the vectors' block is written
    const TFlash_Outcome outcome = Flash_Image(Chip, image, Progress);
    EXPECT_EQ(outcome.Result, test.Expected.Result);
    EXPECT_EQ(outcome.Address, test.Expected.Address);
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
