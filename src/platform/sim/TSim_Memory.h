// The memory of an STM32F1 medium-density part as its ROM bootloader reaches it: 128 KiB of flash
// in 1 KiB pages, which programming can only clear bits of; 20 KiB of RAM; the system memory that
// holds the bootloader; and the option bytes. The addresses are the board's own copies of the
// memory map the host reads from Get ID, as an independent model.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::uint32_t SIM_FLASH_START = 0x08000000;
inline constexpr std::uint32_t SIM_FLASH_SIZE = 128 * 1024;
inline constexpr std::uint32_t SIM_PAGE_SIZE = 1024;
inline constexpr std::uint32_t SIM_PAGES = SIM_FLASH_SIZE / SIM_PAGE_SIZE;
inline constexpr std::uint32_t SIM_RAM_START = 0x20000000;
inline constexpr std::uint32_t SIM_RAM_SIZE = 20 * 1024;
inline constexpr std::uint32_t SIM_SYSTEM_START = 0x1FFFF000;
inline constexpr std::uint32_t SIM_SYSTEM_SIZE = 2 * 1024;
inline constexpr std::uint32_t SIM_OPTION_START = 0x1FFFF800;
inline constexpr std::uint32_t SIM_OPTION_SIZE = 16;
inline constexpr std::uint8_t SIM_ERASED = 0xFF;

enum TSim_Region_Kind { SIM_REGION_FLASH, SIM_REGION_RAM, SIM_REGION_SYSTEM, SIM_REGION_OPTION };

struct TSim_Region {
  TSim_Region_Kind Kind;
  std::uint32_t Start;
  std::uint32_t Size;

  bool Holds(std::uint32_t address, std::uint32_t count) const {
    return address >= Start && count <= Size && address - Start <= Size - count;
  }
};

class TSim_Memory {
public:
  // Flash from SIM_FLASH_START holds `image`, the rest is erased.
  explicit TSim_Memory(const std::vector<std::uint8_t>& image);

  // The region that holds `address`, if any.
  static std::optional<TSim_Region> Region_At(std::uint32_t address);

  // `count` bytes from `address`, which one region holds.
  std::vector<std::uint8_t> Read(std::uint32_t address, std::uint32_t count) const;
  // Into flash or RAM, which holds the whole range; flash keeps old AND new.
  void Program(std::uint32_t address, std::span<const std::uint8_t> data);
  void Erase_Page(std::uint32_t page);
  void Erase_All();

  // The application's vector table is in place: the first word of flash is not erased.
  bool Holds_Application() const;
  const std::vector<std::uint8_t>& Flash() const { return Flash_; }
  // Grows with every change of flash.
  std::uint64_t Flash_Changes() const { return Flash_Changes_; }

private:
  std::vector<std::uint8_t>& Bytes_Of(TSim_Region_Kind kind);
  const std::vector<std::uint8_t>& Bytes_Of(TSim_Region_Kind kind) const;

  std::vector<std::uint8_t> Flash_;
  std::vector<std::uint8_t> Ram_;
  std::vector<std::uint8_t> System_;
  std::vector<std::uint8_t> Option_;
  std::uint64_t Flash_Changes_ = 0;
};
