// The bridge's configuration memory as its vendor requests (bRequest 0xFF) reach it: the part
// number (read 0x370B), the product id field that CP2101-CP2105 take (write 0x3702, id in wIndex),
// and the CP2102N's one configuration block (read 0x000E, write 0x370F: 0x2A6 bytes ending in a
// Fletcher-16 of the rest, high byte first), which refuses the field write. The CP2102 keeps its
// configuration in rewritable EEPROM; the CP2104's is one-time programmable, so the product id
// takes one write and refuses the next. A refused request stalls: EPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TSim_Bridge_Config {
public:
  // As a chip of `part` holds it with the ids given; `pid_programmed`: a one-time-programmable
  // part has taken its product id already.
  TSim_Bridge_Config(std::uint8_t part, std::uint16_t vid, std::uint16_t pid, bool pid_programmed);

  std::uint16_t Stored_Pid() const;
  bool Pid_Programmed() const { return Pid_Programmed_; }

  // One control request; an errno value, with `transferred` the bytes moved.
  int Control(std::uint8_t request_type, std::uint8_t request, std::uint16_t value, std::uint16_t index,
              std::span<std::uint8_t> data, std::size_t& transferred);

private:
  bool Is_CP2102N() const;
  int Write_Block(std::span<const std::uint8_t> block);

  std::uint8_t Part_;
  std::uint16_t Pid_;  // of CP2101-CP2105
  bool Pid_Programmed_;
  std::vector<std::uint8_t> Block_;  // of a CP2102N
};
