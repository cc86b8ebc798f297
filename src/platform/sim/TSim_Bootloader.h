// The STM32F1 ROM bootloader's side of ST's USART protocol (AN3155). After reset it waits for 0x7F,
// takes its baud rate from it, and from then on answers commands at that rate in 8E1.
#pragma once

#include "platform/sim/TSim_Chip_Services.h"
#include "platform/sim/TSim_Faults.h"
#include "platform/sim/TSim_Line_Format.h"
#include "platform/sim/TSim_Memory.h"

#include <cstdint>
#include <optional>
#include <vector>

class TSim_Bootloader {
public:
  TSim_Bootloader(TSim_Memory& memory, TSim_Faults& faults, TSim_Chip_Services& chip);

  // The format it answers in; nullopt until synchronised.
  std::optional<TSim_Line_Format> Format() const { return Format_; }
  // Whether its USART reads a byte sent in `format`: before synchronising it measures any rate up
  // to BOOT_MAX_BAUD.
  bool Reads(const TSim_Line_Format& format, bool parity_dropped) const;
  void Receive(std::uint8_t byte, const TSim_Line_Format& format, TDuration at);

private:
  enum TStage { STAGE_SYNC, STAGE_COMMAND, STAGE_ADDRESS, STAGE_READ_COUNT, STAGE_WRITE_DATA, STAGE_ERASE };

  std::size_t Frame_Size() const;
  void Complete_Frame(TDuration at);
  void Command(TDuration at);
  void Address(TDuration at);
  void Read_Count(TDuration at);
  void Write_Data(TDuration at);
  void Erase(TDuration at);
  // ACK and then `data`, leaving from `ready`, unless the NACK fault takes this frame; true when accepted.
  bool Accept(const std::vector<std::uint8_t>& data, TDuration ready);
  void Refuse(TDuration at);

  TSim_Memory& Memory_;
  TSim_Faults& Faults_;
  TSim_Chip_Services& Chip_;
  std::optional<TSim_Line_Format> Format_;
  TStage Stage_ = STAGE_SYNC;
  std::vector<std::uint8_t> Frame_;  // bytes of the frame being received
  std::uint8_t Command_ = 0;         // of the command in progress
  std::uint32_t Address_ = 0;        // its address, once accepted
};
