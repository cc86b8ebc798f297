#include "platform/CP210x_Config.h"

#include "platform/CP210x_Part.h"

#include <cerrno>
#include <vector>

namespace {
// End-around carry: the sum stays congruent modulo 255, and never becomes 0.
std::uint16_t Reduced(std::uint16_t sum) { return static_cast<std::uint16_t>((sum & 0xFF) + (sum >> 8)); }

// The reductions run every 20 bytes, before either sum could pass 16 bits.
constexpr std::size_t FLETCHER_RUN = 20;

int Request(TBridge_Host& host, const TBridge& bridge, std::uint8_t type, std::uint16_t value, std::uint16_t index,
            std::span<std::uint8_t> data) {
  std::size_t transferred = 0;
  const int error = host.Control(bridge, {type, CP210X_VENDOR_REQUEST, value, index}, data, transferred);
  if (error != 0) return error;
  return transferred == data.size() ? 0 : EIO;
}
}  // namespace

std::uint16_t Fletcher16(std::span<const std::uint8_t> bytes) {
  std::uint16_t sum1 = 0xFF;
  std::uint16_t sum2 = 0xFF;
  for (std::size_t at = 0; at < bytes.size(); at += FLETCHER_RUN) {
    for (std::size_t i = at; i < bytes.size() && i < at + FLETCHER_RUN; ++i) {
      sum1 = static_cast<std::uint16_t>(sum1 + bytes[i]);
      sum2 = static_cast<std::uint16_t>(sum2 + sum1);
    }
    sum1 = Reduced(sum1);
    sum2 = Reduced(sum2);
  }
  return static_cast<std::uint16_t>(Reduced(sum2) << 8 | Reduced(sum1));
}

bool CP2102N_Config_Sound(std::span<const std::uint8_t> block) {
  if (block.size() != CP2102N_CONFIG_SIZE || block[CP2102N_VERSION_AT] != CP2102N_CONFIG_VERSION) return false;
  const std::uint16_t stored =
      static_cast<std::uint16_t>(block[CP2102N_CHECKSUM_AT] << 8 | block[CP2102N_CHECKSUM_AT + 1]);
  return Fletcher16(block.first(CP2102N_CHECKSUM_AT)) == stored;
}

void CP2102N_Set_Pid(std::span<std::uint8_t> block, std::uint16_t pid) {
  block[CP2102N_PID_AT] = static_cast<std::uint8_t>(pid);
  block[CP2102N_PID_AT + 1] = static_cast<std::uint8_t>(pid >> 8);
  const std::uint16_t checksum = Fletcher16(block.first(CP2102N_CHECKSUM_AT));
  block[CP2102N_CHECKSUM_AT] = static_cast<std::uint8_t>(checksum >> 8);
  block[CP2102N_CHECKSUM_AT + 1] = static_cast<std::uint8_t>(checksum);
}

int Read_Part_Number(TBridge_Host& host, const TBridge& bridge, std::uint8_t& part) {
  return Request(host, bridge, CP210X_FROM_DEVICE, CP210X_READ_PART_NUMBER, 0, {&part, 1});
}

// The block is read back first and written only when it is sound, so a damaged read never
// replaces the chip's configuration.
TPid_Write Write_Product_Id(TBridge_Host& host, const TBridge& bridge, std::uint8_t part, std::uint16_t pid) {
  const auto failed = [](int error) { return TPid_Write{error == EPIPE ? PID_REFUSED : PID_NOT_REACHED, error}; };
  if (!Is_CP2102N(part)) {
    const int error = Request(host, bridge, CP210X_TO_DEVICE, CP210X_WRITE_PRODUCT_ID, pid, {});
    return error == 0 ? TPid_Write{PID_WRITTEN, 0} : failed(error);
  }
  std::vector<std::uint8_t> block(CP2102N_CONFIG_SIZE);
  if (const int error = Request(host, bridge, CP210X_FROM_DEVICE, CP2102N_READ_CONFIG, 0, block); error != 0)
    return failed(error);
  if (!CP2102N_Config_Sound(block)) return {PID_CONFIG_DAMAGED, 0};
  CP2102N_Set_Pid(block, pid);
  const int error = Request(host, bridge, CP210X_TO_DEVICE, CP2102N_WRITE_CONFIG, 0, block);
  return error == 0 ? TPid_Write{PID_WRITTEN, 0} : failed(error);
}
