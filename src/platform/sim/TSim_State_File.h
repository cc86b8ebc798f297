// A board's persistent state as a text file an engineer can read: a header line, the stored
// product id, the non-volatile settings, and the rows of flash that are not erased.
//
//   yeli-sim board state 1
//   pid EA61
//   pid-programmed                           (a CP2104 whose one write of the id is spent)
//   setting 16 200
//   flash 08000000 00500020310100083501...   (up to 32 bytes a row)
#pragma once

#include "platform/sim/TSim_Board.h"

#include <filesystem>
#include <string>

// Written as TAtomic_File writes, so a killed process never leaves a broken file and two programs
// sharing one file never write into each other's. Returns what went wrong, or an empty text.
std::string Save_Board_State(const std::filesystem::path& file, const TSim_Persistent_State& state);

// Flash the file does not name is erased; settings it does not name keep their value in `state`.
// Returns what is wrong with the file, naming its line, or an empty text.
std::string Load_Board_State(const std::filesystem::path& file, TSim_Persistent_State& state);
