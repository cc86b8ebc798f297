// The commands of yeli-cli: what each is called, takes and accepts, and the function that runs it.
// A command ends normally on success and fails with a TCli_Failure otherwise.
#pragma once

#include "cli/TCli_Context.h"

#include <cstdint>
#include <functional>
#include <span>

// Options beyond --simulate, --sim-state and --verbose, which every command accepts.
enum TCli_Extra : std::uint16_t {
  EXTRA_NONE = 0,
  EXTRA_JSON = 1,        // --json
  EXTRA_STORE = 2,       // --store
  EXTRA_RANGE = 4,       // --address, --length
  EXTRA_BAUD = 8,        // --baud
  EXTRA_FAMILY = 16,     // --family
  EXTRA_PERMANENT = 32,  // --permanent
  EXTRA_DEVICE = 64,     // --device, once
  EXTRA_IDENTIFY = 128,  // --identify
};

// A command's work on one board, after its checks: it may run on several boards at once, each call
// on a thread of its own with a context of its own.
using TBoard_Work = std::function<void(TCli_Context& board)>;

// A command runs by `Run`, or, where it can work on several boards at once (--all, --device given
// more than once, and --report), by `Prepare`, which checks what it can before any board is touched
// and returns the work for each board.
struct TCli_Command {
  const char* Name;       // one or two words: "list", "cnf show"
  const char* Arguments;  // as the usage shows them: "FILE.cnf"
  std::size_t Argument_Count;
  std::uint16_t Extras;   // TCli_Extra bits
  void (*Run)(TCli_Context& context);
  TBoard_Work (*Prepare)(const TCli_Context& context);
  const char* Summary;
};

std::span<const TCli_Command> Cli_Commands();

void Run_List(TCli_Context& context);
TBoard_Work Prepare_Mode(const TCli_Context& context);
TBoard_Work Prepare_Identify(const TCli_Context& context);
void Run_Read(TCli_Context& context);
void Run_Save(TCli_Context& context);
TBoard_Work Prepare_Load(const TCli_Context& context);
TBoard_Work Prepare_Store(const TCli_Context& context);
TBoard_Work Prepare_Reset_Filter(const TCli_Context& context);
TBoard_Work Prepare_Flash(const TCli_Context& context);
void Run_Read_Flash(TCli_Context& context);
void Run_Cnf_Show(TCli_Context& context);
void Run_Cnf_Diff(TCli_Context& context);
void Run_Image_Show(TCli_Context& context);
void Run_Doctor(TCli_Context& context);
