#include "cli/Run_Yeli_Cli.h"

#include "cli/Cli_Commands.h"
#include "cli/Run_On_Boards.h"
#include "cli/TCli_Failure.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <iterator>
#include <optional>
#include <sstream>

namespace {
constexpr const char* PROGRAM = "yeli-cli";

std::vector<std::string> Words_Of(const std::string& name) {
  std::istringstream words(name);
  return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

// The command the words begin with; fails naming what is wrong.
const TCli_Command& Command_Of(const std::vector<std::string>& words, std::size_t& name_length) {
  std::string subcommands;
  for (const TCli_Command& command : Cli_Commands()) {
    const std::vector<std::string> name = Words_Of(command.Name);
    if (words.size() >= name.size() && std::equal(name.begin(), name.end(), words.begin())) {
      name_length = name.size();
      return command;
    }
    if (name.size() > 1 && name[0] == words[0]) subcommands += (subcommands.empty() ? "" : " or ") + name[1];
  }
  if (!subcommands.empty()) Fail(EXIT_BAD_INPUT, "'" + words[0] + "' needs " + subcommands);
  Fail(EXIT_BAD_INPUT, "unknown command '" + words[0] + "' ('" + std::string(PROGRAM) + " --help' lists them)");
}

void Check_Usage(const TCli_Command& command, const TCli_Options& options, std::size_t arguments) {
  if (arguments != command.Argument_Count) {
    if (command.Argument_Count == 0) Fail(EXIT_BAD_INPUT, "takes no arguments");
    Fail(EXIT_BAD_INPUT, std::string("needs ") + command.Arguments);
  }
  const struct {
    bool Given;
    TCli_Extra Extra;
    const char* Refusal;
  } extras[] = {{options.Json, EXTRA_JSON, "--json does not apply to this command"},
                {options.Store, EXTRA_STORE, "--store does not apply to this command"},
                {options.Permanent, EXTRA_PERMANENT, "--permanent does not apply to this command"},
                {options.Address || options.Length, EXTRA_RANGE, "--address and --length do not apply to this command"},
                {options.Baud.has_value(), EXTRA_BAUD, "--baud does not apply to this command"},
                {options.Family != nullptr, EXTRA_FAMILY, "--family does not apply to this command"},
                {options.Identify, EXTRA_IDENTIFY, "--identify does not apply to this command"},
                {options.All || !options.Devices.empty(), EXTRA_DEVICE,
                 "--device and --all do not apply to this command"}};
  for (const auto& extra : extras)
    if (extra.Given && !(command.Extras & extra.Extra)) Fail(EXIT_BAD_INPUT, extra.Refusal);
  if (!command.Prepare && options.Many_Boards())
    Fail(EXIT_BAD_INPUT, "works on one bridge at a time: give --device once");
  if (!command.Prepare && !options.Report.empty()) Fail(EXIT_BAD_INPUT, "--report does not apply to this command");
}

// With --device, --all or --report: the command's checks first, then its work on the boards chosen.
int Run_On_Chosen(const TCli_Command& command, TCli_Context& context) {
  const TCli_Options& options = context.Options;
  const TBoard_Work work = command.Prepare ? command.Prepare(context) : TBoard_Work(command.Run);
  std::optional<TReport_File> report;
  if (!options.Report.empty()) {
    report.emplace(options.Report);
    if (report->Error() != 0)
      Fail(EXIT_BAD_INPUT, "cannot append to " + options.Report + ": " + std::strerror(report->Error()));
  }
  const std::vector<TSelected_Board> boards = Select_Boards(options, context.Bridges());
  return Run_On_Boards(context, command.Name, work, boards, report ? &*report : nullptr);
}

int Run(const TCli_Options& options, const TBack_End& back_end, const TCli_Host& host) {
  std::shared_ptr<TBridges> bridges;
  std::string name;
  try {
    std::size_t name_length = 0;
    const TCli_Command& command = Command_Of(options.Words, name_length);
    name = command.Name;
    const std::vector<std::string> arguments(options.Words.begin() + static_cast<std::ptrdiff_t>(name_length),
                                             options.Words.end());
    Check_Usage(command, options, arguments.size());
    TCli_Context context{options,
                         arguments,
                         host.Clock,
                         host.Out,
                         host.Err,
                         host.Err_Is_Terminal,
                         [&]() -> TBridges& {
                           std::string error;
                           if (!bridges) bridges = back_end.Make_Bridges(error);
                           if (!bridges) Fail(EXIT_BAD_INPUT, error);
                           return *bridges;
                         },
                         back_end.Check_Setup, host.Stop};
    if (options.All || !options.Devices.empty() || !options.Report.empty()) return Run_On_Chosen(command, context);
    if (command.Run)
      command.Run(context);
    else
      command.Prepare(context)(context);
    return EXIT_DONE;
  } catch (const TCli_Failure& failure) {
    host.Err << PROGRAM << ": " << (name.empty() ? "" : name + ": ") << failure.Message << '\n';
    return failure.Status;
  } catch (const std::exception& failure) {
    host.Err << PROGRAM << ": " << (name.empty() ? "" : name + ": ") << failure.what() << '\n';
    return EXIT_DEVICE;
  }
}
}  // namespace

int Run_Yeli_Cli(const std::vector<std::string>& arguments, const TCli_Host& host) {
  const auto Usage_Error = [&host](const TOption_Error& error) {
    host.Err << PROGRAM << ": " << error.Message << " ('" << PROGRAM << " --help' shows the usage)\n";
    return EXIT_BAD_INPUT;
  };
  std::vector<std::string> rest = arguments;
  const auto back_end = host.Back_End.Take(rest);
  if (const auto* error = std::get_if<TOption_Error>(&back_end)) return Usage_Error(*error);
  const auto parsed = Parse_Cli_Options(rest);
  if (const auto* error = std::get_if<TOption_Error>(&parsed)) return Usage_Error(*error);
  if (const auto* request = std::get_if<TCli_Request>(&parsed)) {
    host.Out << (*request == CLI_SHOW_HELP ? Cli_Usage(host.Back_End.Usage)
                                           : std::string(PROGRAM) + " " + YELI_VERSION + "\n");
    return EXIT_DONE;
  }
  const TCli_Options& options = std::get<TCli_Options>(parsed);
  const TBack_End& chosen = std::get<TBack_End>(back_end);
  if (options.Verbose && !chosen.Note.empty()) host.Err << chosen.Note << '\n';
  return Run(options, chosen, host);
}

std::string Cli_Usage(const std::string& back_end_usage) {
  std::ostringstream usage;
  usage << "Usage: " << PROGRAM << " [OPTIONS] COMMAND [ARGUMENTS]\n"
        << "\nThe Yeli ventilation controller from scripts and production lines.\n\nCommands:\n";
  for (const TCli_Command& command : Cli_Commands())
    usage << "  " << std::left << std::setw(28) << std::string(command.Name) + " " + command.Arguments
          << command.Summary << '\n';
  usage << "\nOptions:\n"
           "  --device D           work on the bridge D: its serial device (/dev/ttyUSB3), its USB path\n"
           "                       (1-2.4) or its index in 'list'; given several times, on each at once\n"
           "  --all                work on every bridge attached, all at once (identify, flash, load,\n"
           "                       store, reset-filter, mode)\n"
           "  --report FILE        append a JSON line per board to FILE as the board ends\n"
           "  --identify           list: the firmware version of each bridge in USBXpress mode too\n"
        << back_end_usage
        << "  --permanent          mode: switch a bridge whose product id can be written only once (CP2104)\n"
           "  --json               one JSON document on standard output (list, identify, read, cnf, image)\n"
           "  --verbose            every byte on the wire, in hex, and the log lines on standard error\n"
           "  --store              load, reset-filter: store the settings permanently afterwards\n"
           "  --address A          read-flash: the first address (default: the start of flash)\n"
           "  --length N           read-flash: how many bytes (default: up to the end of flash)\n"
           "  --baud N             identify, flash, read-flash: the bootloader's baud rate, 1200 to\n"
           "                       115200 (default 115200; 38400 when the chip does not answer faster)\n"
           "  --family NAME        image show: the chip the image is for (default medium-density)\n"
           "  -h, --help           show this help and exit\n"
           "  --version            show the version and exit\n"
           "\nNumbers are decimal, or hexadecimal after 0x. Exit status: 0 done (on every board chosen); 1 no\n"
           "usable bridge, or a device refused or did not answer, or doctor found a problem; 2 bad usage\n"
           "or a bad file, found before any board is touched;\n"
           "130 stopped by Ctrl+C or SIGTERM (the controller is restarted into its application, partial\n"
           "files are removed). Real bridges are looked for under /sys and /dev, or under YELI_SYSFS_ROOT\n"
           "and YELI_DEV_ROOT.\n";
  return usage.str();
}
