// The states boards leave the factory in, the application images the project generates for them,
// and the board that `--simulate` runs.
#pragma once

#include "platform/sim/TSim_Board.h"

#include <cstdint>
#include <vector>

enum TSim_Factory_State {
  SIM_FACTORY_VCP,        // bridge in virtual-COM-port mode, firmware 2.3
  SIM_FACTORY_USBXPRESS,  // bridge in USBXpress mode, firmware 2.3
  SIM_FACTORY_BLANK,      // bridge in USBXpress mode, flash erased
  SIM_FACTORY_OLD,        // bridge in USBXpress mode, firmware 2.0
};

// An application image for flash at 0x08000000: a vector table, code, and the version bytes
// (minor, major) at 0x08003C02. Its length is not a whole number of 16-byte records.
std::vector<std::uint8_t> Application_Image(std::uint8_t major, std::uint8_t minor);

// A board whose bridge is a `part` (SIM_PART_*), the `unit`-th of its kind off the line. A CP2104
// in USBXpress mode has spent its one write of the product id at the factory.
TSim_Board_Setup Factory_Setup(TSim_Factory_State state, std::uint8_t part = SIM_PART_CP2102, unsigned unit = 1);

// Under --simulate the filter running time counts ten minutes per second, so a session shows it move.
// Board `unit` of several carries a serial number of its own.
inline constexpr double SIM_SIMULATE_FILTER_RATE = 600;
TSim_Board_Setup Simulation_Setup(TSim_Factory_State state, std::uint8_t part = SIM_PART_CP2102, unsigned unit = 1);
