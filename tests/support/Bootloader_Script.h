// The bytes of a bootloader session's start for tests with a scripted bridge: what the host sends
// for the sync, Get and Get ID, and what an STM32F1's bootloader answers.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

inline const std::vector<std::uint8_t> HEADER_REQUESTS = {0x7F, 0x00, 0xFF, 0x02, 0xFD};

// The codes of the published protocol, bootloader 2.2, product id 0x04 `pid_l`.
inline std::deque<std::uint8_t> Header_Answers(std::uint8_t pid_l = 0x10) {
  return {0x79, 0x79, 0x0B, 0x22, 0x00, 0x01, 0x02, 0x11, 0x21, 0x31, 0x43, 0x63, 0x73, 0x82, 0x92,
          0x79, 0x79, 0x01, 0x04, pid_l, 0x79};
}
