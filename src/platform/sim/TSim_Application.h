// The controller's application firmware: answers the parameter protocol at 38400 8N1 from live
// values that start from the non-volatile settings at every start.
#pragma once

#include "platform/sim/TSim_Chip_Services.h"
#include "platform/sim/TSim_Plant.h"

#include <cstdint>
#include <vector>

// Command ids besides the parameters; the board's own copies, not the host's, as an independent model.
inline constexpr std::uint8_t SIM_PARAM_RESET_FILTER = 84;   // written: the filter time becomes 0
inline constexpr std::uint8_t SIM_PARAM_STORE_SETTINGS = 96;  // read: settings to non-volatile memory

class TSim_Application {
public:
  TSim_Application(TSim_Plant plant, TSim_Chip_Services& chip);

  void Receive(std::uint8_t byte, TDuration at);
  TSim_Plant& Plant() { return Plant_; }

private:
  void Read_Request(std::uint8_t id, TDuration at);

  TSim_Plant Plant_;
  TSim_Chip_Services& Chip_;
  std::vector<std::uint8_t> Frame_;  // the request received so far
  TDuration Last_Byte_{0};
};
