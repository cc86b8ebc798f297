// The commands of yeli-cli: what each is called, takes and accepts, and the function that runs it.
// A command ends normally on success and fails with a TCli_Failure otherwise.
#pragma once

#include "cli/TCli_Context.h"

#include <cstdint>
#include <span>

// Options beyond --simulate, --sim-state and --verbose, which every command accepts.
enum TCli_Extra : std::uint8_t {
  EXTRA_NONE = 0,
  EXTRA_JSON = 1,        // --json
  EXTRA_STORE = 2,       // --store
  EXTRA_RANGE = 4,       // --address, --length
  EXTRA_BAUD = 8,        // --baud
  EXTRA_FAMILY = 16,     // --family
  EXTRA_PERMANENT = 32,  // --permanent
};

struct TCli_Command {
  const char* Name;       // one or two words: "list", "cnf show"
  const char* Arguments;  // as the usage shows them: "FILE.cnf"
  std::size_t Argument_Count;
  std::uint8_t Extras;    // TCli_Extra bits
  void (*Run)(TCli_Context& context);
  const char* Summary;
};

std::span<const TCli_Command> Cli_Commands();

void Run_List(TCli_Context& context);
void Run_Mode(TCli_Context& context);
void Run_Identify(TCli_Context& context);
void Run_Read(TCli_Context& context);
void Run_Save(TCli_Context& context);
void Run_Load(TCli_Context& context);
void Run_Store(TCli_Context& context);
void Run_Reset_Filter(TCli_Context& context);
void Run_Flash(TCli_Context& context);
void Run_Read_Flash(TCli_Context& context);
void Run_Cnf_Show(TCli_Context& context);
void Run_Cnf_Diff(TCli_Context& context);
void Run_Image_Show(TCli_Context& context);
void Run_Doctor(TCli_Context& context);
