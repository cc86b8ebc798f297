// The board's STM32F1: held in reset, or running its ROM bootloader, the application in its flash,
// or nothing at all (erased flash, or a jump to where no application is).
#pragma once

#include "platform/sim/TSim_Application.h"
#include "platform/sim/TSim_Bootloader.h"
#include "platform/sim/TSim_Faults.h"
#include "platform/sim/TSim_Memory.h"

#include <functional>
#include <memory>

enum TSim_Run { SIM_RUN_RESET, SIM_RUN_BOOTLOADER, SIM_RUN_APPLICATION, SIM_RUN_NOTHING };

// Where the application keeps its version: minor byte, then major byte (the board's own copy of the
// host's address, as an independent model).
inline constexpr std::uint32_t SIM_VERSION_ADDRESS = 0x08003C02;

class TSim_Microcontroller final : private TSim_Chip_Services {
public:
  // One byte the chip sends in `format`, leaving no earlier than `ready`.
  using TTransmit = std::function<void(std::uint8_t byte, const TSim_Line_Format& format, TDuration ready)>;

  struct TSetup {
    std::vector<std::uint8_t> Flash;  // from SIM_FLASH_START; the rest erased
    TSim_Settings Settings;           // in non-volatile memory
    double Filter_Rate;               // see TSim_Plant
    bool Parity_Dropped;              // see Receiver_Reads
    std::uint32_t Seed;               // see TSim_Plant
  };

  // Starts held in reset.
  TSim_Microcontroller(const TSetup& setup, const TSim_Inputs& inputs, TSim_Faults& faults, TTransmit transmit);

  void Hold_In_Reset();
  // Reset released: the boot pin (RTS) selects the bootloader; otherwise the application runs
  // when the flash holds one.
  void Start(bool boot_pin, TDuration at);
  void Receive(std::uint8_t byte, const TSim_Line_Format& format, TDuration at);
  // Brings the application's running values (the filter time) up to `at`.
  void Run_Until(TDuration at);

  TSim_Run Running() const { return Run_; }
  // What the application answers for `id` at `at`; nullopt for an id it ignores or when it does
  // not run.
  std::optional<std::uint16_t> Live_Parameter(std::uint8_t id, TDuration at);
  const TSim_Memory& Memory() const { return Memory_; }
  const TSim_Settings& Stored_Settings() const { return Stored_; }
  // Grows with every store of the settings.
  std::uint64_t Settings_Stores() const { return Stores_; }

private:
  void Answer(std::span<const std::uint8_t> bytes, TDuration ready) override;
  void Jump(std::uint32_t address) override;
  void Store_Settings(const TSim_Settings& settings) override;
  void Run_Application(TDuration at);
  TSim_Chip_Services& Services() { return *this; }

  TSim_Memory Memory_;
  TSim_Settings Stored_;
  std::uint64_t Stores_ = 0;
  double Filter_Rate_;
  bool Parity_Dropped_;
  std::uint32_t Seed_;
  const TSim_Inputs& Inputs_;
  TSim_Faults& Faults_;
  TTransmit Transmit_;

  TSim_Run Run_ = SIM_RUN_RESET;
  TDuration Ready_At_{0};  // bytes that arrive while it starts up are lost
  std::unique_ptr<TSim_Bootloader> Bootloader_;
  std::unique_ptr<TSim_Application> Application_;
  std::optional<std::uint32_t> Jump_To_;  // requested by the running code, taken after its byte
};
