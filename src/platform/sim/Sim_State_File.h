// The persistent state of the virtual boards as a text file an engineer can read: a header line,
// then for each board its stored product id, its non-volatile settings and the rows of its flash
// that are not erased. The second board's section and each later one begin with a line of their
// own, so a file of one board is the same as before several boards could be kept.
//
//   yeli-sim board state 1
//   pid EA61
//   pid-programmed                           (a CP2104 whose one write of the id is spent)
//   setting 16 200
//   flash 08000000 00500020310100083501...   (up to 32 bytes a row)
//   board 2
//   pid EA60
//   ...
#pragma once

#include "platform/sim/TSim_Board.h"

#include <filesystem>
#include <span>
#include <string>
#include <vector>

// Written as TAtomic_File writes, so a killed process never leaves a broken file and two programs
// sharing one file never write into each other's. Returns what went wrong, or an empty text.
std::string Save_Board_States(const std::filesystem::path& file, std::span<const TSim_Persistent_State> states);

// `states` holds what each board starts from where the file does not say otherwise: flash a section
// does not name is erased, settings it does not name keep their value there. A section beyond them
// is added, from the factory settings. Returns what is wrong with the file, naming its line, or an
// empty text.
std::string Load_Board_States(const std::filesystem::path& file, std::vector<TSim_Persistent_State>& states);
