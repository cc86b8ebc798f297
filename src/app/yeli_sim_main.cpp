// yeli-sim: serves one virtual board's serial line on a pseudo-terminal, so that other serial
// programs can talk to its bootloader or its application in real time.
#include "bridge/TCP21xx.h"
#include "platform/CP210x_Part.h"
#include "platform/TClock.h"
#include "platform/sim/Parse_Sim_Faults.h"
#include "platform/sim/Sim_Factory.h"
#include "platform/sim/Sim_Kept_Boards.h"
#include "platform/sim/TSim_Pty.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <optional>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr int EXIT_USAGE = 2;
constexpr std::uint32_t BAUD = 38400;

constexpr const char* USAGE =
    "Usage: yeli-sim [--bootloader] [--blank | --old] [--sim-chip CHIP] [--sim-state FILE] [--sim-faults LIST]\n"
    "                [--sim-seed N]\n"
    "Serves a virtual Yeli controller on a pseudo-terminal and prints its name as 'pty: /dev/pts/N'.\n"
    "  --bootloader       start the microcontroller in its ROM bootloader (else in its application)\n"
    "  --blank            erased flash instead of firmware 2.3\n"
    "  --old              firmware 2.0 instead of 2.3\n"
    "  --sim-chip CHIP    the board's bridge: cp2102 (default), cp2102n or cp2104\n"
    "  --sim-state FILE   keep flash, settings and product id in FILE from one run to the next\n"
    "  --sim-faults LIST  a bad line, e.g. noise=0.0005,late=0.02,drop=0.01 (probabilities per byte,\n"
    "                     per answer, per byte) and unplug=SECONDS (off the bus 2 s at that period)\n"
    "  --sim-seed N       when the faults strike (default: from the clock)\n"
    "Ends on SIGINT or SIGTERM.\n";

struct TOptions {
  bool Bootloader = false;
  TSim_Factory_State Flash = SIM_FACTORY_USBXPRESS;
  std::uint8_t Chip = SIM_PART_CP2102;
  std::string Sim_State;
  TSim_Line_Faults Faults;
  std::optional<std::uint32_t> Seed;
};

volatile std::sig_atomic_t Stop_Requested = 0;

void Request_Stop(int) { Stop_Requested = 1; }

// nullopt after printing the help (exit status 0) or what is wrong with the command line.
std::optional<TOptions> Parse(int argc, char** argv, int& exit_status) {
  TOptions options;
  int flash_options = 0;
  std::string problem;
  for (int i = 1; i < argc && problem.empty(); ++i) {
    const std::string argument = argv[i];
    if (argument == "--help") {
      std::cout << USAGE;
      exit_status = 0;
      return std::nullopt;
    }
    if (argument == "--bootloader") {
      options.Bootloader = true;
    } else if (argument == "--blank" || argument == "--old") {
      options.Flash = argument == "--blank" ? SIM_FACTORY_BLANK : SIM_FACTORY_OLD;
      if (++flash_options > 1) problem = "choose one of --blank and --old";
    } else if (argument == "--sim-chip") {
      const auto chip = i + 1 < argc ? Part_Named(argv[++i]) : std::nullopt;
      if (chip) options.Chip = *chip;
      else problem = std::string("--sim-chip needs a chip: ") + PART_NAMES;
    } else if (argument == "--sim-state") {
      if (i + 1 == argc) problem = "--sim-state needs a file name";
      else options.Sim_State = argv[++i];
    } else if (argument == "--sim-faults") {
      auto faults = i + 1 == argc ? std::string("--sim-faults needs a list") : Parse_Sim_Faults(argv[++i]);
      if (auto* parsed = std::get_if<TSim_Line_Faults>(&faults)) options.Faults = *parsed;
      else problem = std::get<std::string>(faults);
    } else if (argument == "--sim-seed") {
      options.Seed = i + 1 == argc ? std::nullopt : Parse_Sim_Seed(argv[++i]);
      if (!options.Seed) problem = "--sim-seed needs a whole number from 0 to 4294967295";
    } else {
      problem = "unknown option " + argument;
    }
  }
  if (problem.empty()) return options;
  std::cerr << "yeli-sim: " << problem << "\n\n" << USAGE;
  exit_status = EXIT_USAGE;
  return std::nullopt;
}

// Signals are blocked except while waiting in ppoll, so none slips in between test and wait.
sigset_t Catch_Stop_Signals() {
  struct sigaction action {};
  action.sa_handler = Request_Stop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigset_t blocked, previous;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigaddset(&blocked, SIGTERM);
  sigprocmask(SIG_BLOCK, &blocked, &previous);
  return previous;
}

timespec Timespec_Of(TDuration wait) {
  const auto ns = std::max<std::int64_t>(0, wait.count());
  return {static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

// Moves bytes both ways until a stop signal; waits in ppoll until the pty has bytes or the board's
// next byte is due. Returns the exit status.
int Serve(TSim_Pty& pty, TSim_Board& board, const TSim_Session& session, TClock& clock, const sigset_t& wait_mask) {
  std::vector<std::uint8_t> to_pty;
  std::uint8_t buffer[256];
  while (!Stop_Requested) {
    TSim_Take take{};
    do {
      take = board.Take(session, buffer, sizeof buffer);
      to_pty.insert(to_pty.end(), buffer, buffer + take.Count);
    } while (take.Result == SIM_RESULT_OK && take.Count == sizeof buffer);
    if (take.Result != SIM_RESULT_OK) {
      std::cerr << "yeli-sim: the virtual board has left the bus\n";
      return 1;
    }
    if (!to_pty.empty()) {
      const ssize_t written = write(pty.Master(), to_pty.data(), to_pty.size());
      if (written > 0) to_pty.erase(to_pty.begin(), to_pty.begin() + written);
    }

    pollfd poll_fd{pty.Master(), static_cast<short>(POLLIN | (to_pty.empty() ? 0 : POLLOUT)), 0};
    const timespec timeout = Timespec_Of(take.Next_Event - clock.Now());
    const bool forever = take.Next_Event == TDuration::max();
    if (ppoll(&poll_fd, 1, forever ? nullptr : &timeout, &wait_mask) < 0) {
      if (errno == EINTR) continue;
      std::cerr << "yeli-sim: waiting on " << pty.Name() << " failed: " << std::strerror(errno) << "\n";
      return 1;
    }
    if (poll_fd.revents & POLLIN) {
      const ssize_t count = read(pty.Master(), buffer, sizeof buffer);
      if (count > 0) board.Write(session, {buffer, static_cast<std::size_t>(count)});
    }
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  int exit_status = 0;
  const std::optional<TOptions> options = Parse(argc, argv, exit_status);
  if (!options) return exit_status;
  const sigset_t wait_mask = Catch_Stop_Signals();

  TReal_Clock clock;
  TSim_Bus bus(clock);
  TSim_Board_Setup setup = Simulation_Setup(options->Flash, options->Chip);
  setup.Parity_Dropped = true;
  setup.Line_Faults = options->Faults;
  if (setup.Line_Faults.Any()) {
    setup.Fault_Seed = options->Seed.value_or(Sim_Seed_From_Clock());
    std::cerr << "yeli-sim: " << Sim_Seed_Line(setup.Fault_Seed) << "\n";
  }
  std::string error;
  TSim_Board* board = Attach_Board(bus, std::move(setup), options->Sim_State,
                                   [](const std::string& problem) { std::cerr << "yeli-sim: " << problem << "\n"; },
                                   error);
  if (!board) {
    std::cerr << "yeli-sim: " << error << "\n";
    return 1;
  }

  // The pty is the bridge's serial port; its lines stay where this sets them. Opening asserts both,
  // so the reset is released with the boot source chosen.
  const TSim_Session session = *board->Open(SIM_VIEW_USBXPRESS);
  board->Set_Baud_Rate(session, BAUD);
  board->Set_Line_Control(session, LINE_8N1);  // a pty's driver drops parity, so 8N1 serves 8E1 too
  board->Set_Lines(session, {true, options->Bootloader});
  board->Set_Lines(session, {false, options->Bootloader});

  TSim_Pty pty;
  if (!pty.Error().empty()) {
    std::cerr << "yeli-sim: " << pty.Error() << "\n";
    return 1;
  }
  std::cout << "pty: " << pty.Name() << std::endl;
  return Serve(pty, *board, session, clock, wait_mask);
}
