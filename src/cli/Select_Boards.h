// The bridges a command works on when --all or --device chooses them, known by their USB path so
// that each is followed across a re-enumeration.
#pragma once

#include "cli/TCli_Options.h"
#include "platform/TBridges.h"

#include <cstdint>
#include <string>
#include <vector>

struct TSelected_Board {
  std::string Usb_Path;
  std::string Serial_Number;
  std::string Serial_Device;
};

// How many bridges are attached; fails (status 1) when they cannot be listed.
std::uint32_t Bridge_Count(TBridges& bridges);
// The bridges attached, in the order of `list`; fails as Bridge_Count does.
std::vector<TSelected_Board> Attached_Boards(TBridges& bridges);

// Every bridge attached for --all; for each --device, the bridge whose serial device, USB path or
// index in the listing of `list` it gives. Without either, the one bridge attached, or none when
// there are several or none, which the command's own search then refuses. Fails (status 1) for a
// --device that matches no bridge and for --all without a bridge, (status 2) for a bridge chosen
// twice. Only enumerates: no tty is opened.
std::vector<TSelected_Board> Select_Boards(const TCli_Options& options, TBridges& bridges);
