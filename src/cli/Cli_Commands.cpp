#include "cli/Cli_Commands.h"

#include <array>

namespace {
const std::array<TCli_Command, 14> COMMANDS = {{
    {"list", "", 0, EXTRA_JSON | EXTRA_IDENTIFY | EXTRA_BAUD, Run_List, nullptr,
     "the attached bridges: mode, ids, part, serial device, USB path and strings"},
    {"mode", "vcp|usbxpress", 1, EXTRA_PERMANENT | EXTRA_DEVICE, nullptr, Prepare_Mode,
     "switch the bridge's driver mode and wait until it is back"},
    {"identify", "", 0, EXTRA_JSON | EXTRA_BAUD | EXTRA_DEVICE, nullptr, Prepare_Identify,
     "the chip, its memory map and the firmware version, through the bootloader"},
    {"read", "", 0, EXTRA_JSON | EXTRA_DEVICE, Run_Read, nullptr, "every parameter with its name, value and unit"},
    {"save", "FILE.cnf", 1, EXTRA_DEVICE, Run_Save, nullptr, "read the parameters into a configuration file"},
    {"load", "FILE.cnf", 1, EXTRA_STORE | EXTRA_DEVICE, nullptr, Prepare_Load,
     "write a configuration file to the controller and read it back"},
    {"store", "", 0, EXTRA_DEVICE, nullptr, Prepare_Store, "store the settings the controller holds permanently"},
    {"reset-filter", "", 0, EXTRA_STORE | EXTRA_DEVICE, nullptr, Prepare_Reset_Filter,
     "reset the filter running time"},
    {"flash", "FILE.hex", 1, EXTRA_BAUD | EXTRA_DEVICE, nullptr, Prepare_Flash,
     "check, erase, write and verify a firmware image"},
    {"read-flash", "FILE.bin", 1, EXTRA_RANGE | EXTRA_BAUD | EXTRA_DEVICE, Run_Read_Flash, nullptr,
     "read the flash into a binary file"},
    {"cnf show", "FILE.cnf", 1, EXTRA_JSON, Run_Cnf_Show, nullptr, "print a configuration file (no device needed)"},
    {"cnf diff", "A.cnf B.cnf", 2, EXTRA_JSON, Run_Cnf_Diff, nullptr,
     "compare two configuration files (no device needed)"},
    {"image show", "FILE.hex", 1, EXTRA_JSON | EXTRA_FAMILY, Run_Image_Show, nullptr,
     "check a firmware image as flash does and show what it holds (no device needed)"},
    {"doctor", "", 0, EXTRA_NONE, Run_Doctor, nullptr,
     "check this machine's set-up for the bridge, one line per check"},
}};
}  // namespace

std::span<const TCli_Command> Cli_Commands() { return COMMANDS; }
