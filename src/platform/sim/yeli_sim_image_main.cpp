// yeli-sim-image FILE: writes the virtual board's default firmware (version 2.4) as Intel HEX: an
// extended-address record, 16-byte data records from 0x08000000, the start address, end of file.
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/TSim_Memory.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <vector>

namespace {
constexpr std::uint8_t RECORD_DATA = 0x00, RECORD_END = 0x01, RECORD_EXTENDED_ADDRESS = 0x04,
                       RECORD_START_ADDRESS = 0x05;
constexpr std::size_t RECORD_BYTES = 16;

void Write_Record(std::ostream& out, std::uint8_t type, std::uint16_t address, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> record = {static_cast<std::uint8_t>(data.size()), static_cast<std::uint8_t>(address >> 8),
                                      static_cast<std::uint8_t>(address), type};
  record.insert(record.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (std::uint8_t byte : record) sum = static_cast<std::uint8_t>(sum + byte);
  record.push_back(static_cast<std::uint8_t>(-sum));
  out << ':';
  for (std::uint8_t byte : record) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    out << hex;
  }
  out << "\r\n";
}

std::vector<std::uint8_t> Big_Endian(std::uint32_t value, int bytes) {
  std::vector<std::uint8_t> out;
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: yeli-sim-image FILE\n";
    return 2;
  }
  const std::vector<std::uint8_t> image = Application_Image(2, 4);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  Write_Record(out, RECORD_EXTENDED_ADDRESS, 0, Big_Endian(SIM_FLASH_START >> 16, 2));
  for (std::size_t offset = 0; offset < image.size(); offset += RECORD_BYTES) {
    const auto first = image.begin() + offset;
    const std::vector<std::uint8_t> data(first, first + std::min(RECORD_BYTES, image.size() - offset));
    Write_Record(out, RECORD_DATA, static_cast<std::uint16_t>(offset), data);
  }
  const std::uint32_t reset_handler = image[4] | image[5] << 8 | image[6] << 16 | std::uint32_t{image[7]} << 24;
  Write_Record(out, RECORD_START_ADDRESS, 0, Big_Endian(reset_handler, 4));
  Write_Record(out, RECORD_END, 0, {});
  out.close();
  if (!out) {
    std::cerr << "yeli-sim-image: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
