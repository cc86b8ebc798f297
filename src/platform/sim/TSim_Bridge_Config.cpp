#include "platform/sim/TSim_Bridge_Config.h"

#include "platform/sim/TSim_Bridge_Identity.h"

#include <algorithm>
#include <cerrno>

namespace {
constexpr std::uint8_t VENDOR = 0xFF;
constexpr std::uint8_t HOST_TO_DEVICE = 0x40;
constexpr std::uint8_t DEVICE_TO_HOST = 0xC0;
constexpr std::uint16_t WRITE_PID = 0x3702;
constexpr std::uint16_t READ_PART = 0x370B;
constexpr std::uint16_t READ_BLOCK = 0x000E;
constexpr std::uint16_t WRITE_BLOCK = 0x370F;

constexpr std::size_t BLOCK_SIZE = 0x2A6;
constexpr std::size_t VERSION_AT = 2;
constexpr std::size_t UPDATE_ALLOWED_AT = 4;  // 0xFF: the configuration is not locked
constexpr std::size_t DESCRIPTOR_AT = 5;      // the USB device descriptor: ids at its bytes 8 to 11
constexpr std::size_t CHECKSUM_AT = BLOCK_SIZE - 2;

// Fletcher-16 with both sums starting at 0xFF, each kept in 1 to 255 (0 is written as 255).
std::uint16_t Checksum(std::span<const std::uint8_t> bytes) {
  unsigned low = 0;
  unsigned high = 0;
  for (std::uint8_t byte : bytes) {
    low = (low + byte) % 255;
    high = (high + low) % 255;
  }
  return static_cast<std::uint16_t>((high == 0 ? 255 : high) << 8 | (low == 0 ? 255 : low));
}

void Put_Le16(std::vector<std::uint8_t>& block, std::size_t at, std::uint16_t value) {
  block[at] = static_cast<std::uint8_t>(value);
  block[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::vector<std::uint8_t> Factory_Block(std::uint16_t vid, std::uint16_t pid) {
  std::vector<std::uint8_t> block(BLOCK_SIZE);
  block[0] = static_cast<std::uint8_t>(BLOCK_SIZE >> 8);
  block[1] = static_cast<std::uint8_t>(BLOCK_SIZE);
  block[VERSION_AT] = 0x01;
  block[3] = 0xFF;  // the bootloader may be entered
  block[UPDATE_ALLOWED_AT] = 0xFF;
  const std::uint8_t descriptor[18] = {0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0,
                                       0,    0,    0,    0x00, 0x01, 1,    2,    3,    1};
  std::copy(std::begin(descriptor), std::end(descriptor), block.begin() + DESCRIPTOR_AT);
  Put_Le16(block, DESCRIPTOR_AT + 8, vid);
  Put_Le16(block, DESCRIPTOR_AT + 10, pid);
  const std::uint16_t checksum = Checksum(std::span(block).first(CHECKSUM_AT));
  block[CHECKSUM_AT] = static_cast<std::uint8_t>(checksum >> 8);
  block[CHECKSUM_AT + 1] = static_cast<std::uint8_t>(checksum);
  return block;
}
}  // namespace

TSim_Bridge_Config::TSim_Bridge_Config(std::uint8_t part, std::uint16_t vid, std::uint16_t pid, bool pid_programmed)
    : Part_(part), Pid_(pid), Pid_Programmed_(pid_programmed) {
  if (Is_CP2102N()) Block_ = Factory_Block(vid, pid);
}

bool TSim_Bridge_Config::Is_CP2102N() const { return Part_ >= SIM_PART_CP2102N && Part_ <= SIM_PART_CP2102N + 2; }

std::uint16_t TSim_Bridge_Config::Stored_Pid() const {
  if (!Is_CP2102N()) return Pid_;
  return static_cast<std::uint16_t>(Block_[DESCRIPTOR_AT + 11] << 8 | Block_[DESCRIPTOR_AT + 10]);
}

int TSim_Bridge_Config::Control(std::uint8_t request_type, std::uint8_t request, std::uint16_t value,
                                std::uint16_t index, std::span<std::uint8_t> data, std::size_t& transferred) {
  transferred = 0;
  if (request != VENDOR) return EPIPE;
  if (request_type == DEVICE_TO_HOST && value == READ_PART && !data.empty()) {
    data[0] = Part_;
    transferred = 1;
    return 0;
  }
  if (request_type == DEVICE_TO_HOST && value == READ_BLOCK && Is_CP2102N()) {
    transferred = std::min(data.size(), Block_.size());
    std::copy_n(Block_.begin(), transferred, data.begin());
    return 0;
  }
  if (request_type == HOST_TO_DEVICE && value == WRITE_PID && data.empty() && !Is_CP2102N()) {
    if (Part_ == SIM_PART_CP2104 && Pid_Programmed_) return EPIPE;
    Pid_ = index;
    Pid_Programmed_ = Part_ == SIM_PART_CP2104;
    return 0;
  }
  if (request_type == HOST_TO_DEVICE && value == WRITE_BLOCK && Is_CP2102N()) {
    const int error = Write_Block(data);
    if (error == 0) transferred = data.size();
    return error;
  }
  return EPIPE;
}

// Only a whole block of the known layout with a correct checksum, and only while unlocked.
int TSim_Bridge_Config::Write_Block(std::span<const std::uint8_t> block) {
  if (block.size() != BLOCK_SIZE || Block_[UPDATE_ALLOWED_AT] != 0xFF) return EPIPE;
  if (block[0] != (BLOCK_SIZE >> 8) || block[1] != (BLOCK_SIZE & 0xFF) || block[VERSION_AT] != 0x01) return EPIPE;
  const std::uint16_t stored = static_cast<std::uint16_t>(block[CHECKSUM_AT] << 8 | block[CHECKSUM_AT + 1]);
  if (Checksum(block.first(CHECKSUM_AT)) != stored) return EPIPE;
  Block_.assign(block.begin(), block.end());
  return 0;
}
