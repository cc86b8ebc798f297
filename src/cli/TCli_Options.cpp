#include "cli/TCli_Options.h"

#include "firmware/Boot_Baud.h"

#include <QCommandLineParser>

#include <charconv>

namespace {
std::string Family_Keys() {
  std::string keys;
  for (const TSTM32_Family& family : STM32F1_Families()) keys += (keys.empty() ? "" : ", ") + std::string(family.Key);
  return keys;
}

std::optional<std::uint32_t> Number_Option(const QCommandLineParser& parser, const QString& name,
                                           std::optional<TOption_Error>& error) {
  if (!parser.isSet(name)) return std::nullopt;
  const std::string text = parser.value(name).toStdString();
  const auto number = Parse_Cli_Number(text);
  if (!number) error = TOption_Error{"--" + name.toStdString() + " needs a number, not '" + text + "'"};
  return number;
}

// "--simulate=MODE:N": the mode as --simulate takes it, and N boards into `options`.
std::variant<std::string, TOption_Error> Take_Board_Count(const std::string& argument, TService_Options& options) {
  const std::size_t colon = argument.find(':');
  if (!argument.starts_with("--simulate=") || colon == std::string::npos) return argument;
  const std::string count = argument.substr(colon + 1);
  if (auto problem = Set_Sim_Boards(Parse_Cli_Number(count), count, options)) return *problem;
  return argument.substr(0, colon);
}
}  // namespace

std::optional<std::uint32_t> Parse_Cli_Number(const std::string& text) {
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
  if (first == last || error != std::errc() || end != last) return std::nullopt;
  return value;
}

// --simulate takes an optional value, which the Qt parser cannot express, so it is taken out first.
std::variant<TCli_Options, TCli_Request, TOption_Error> Parse_Cli_Options(const std::vector<std::string>& arguments) {
  TCli_Options options;
  QStringList rest = {"yeli-cli"};
  for (const std::string& given : arguments) {
    const auto counted = Take_Board_Count(given, options.Bridges);
    if (const auto* error = std::get_if<TOption_Error>(&counted)) return *error;
    const std::string& argument = std::get<std::string>(counted);
    if (const auto simulate = Parse_Simulate_Option(argument)) {
      if (const auto* error = std::get_if<TOption_Error>(&*simulate)) return *error;
      options.Bridges.Simulate = std::get<TSimulate_Mode>(*simulate);
    } else {
      rest << QString::fromStdString(argument);
    }
  }

  QCommandLineParser parser;
  parser.addOptions({{{"h", "help"}, "help"},
                     {"version", "version"},
                     {"json", "json"},
                     {"verbose", "verbose"},
                     {"store", "store"},
                     {"permanent", "permanent"},
                     {"all", "all"},
                     {"identify", "identify"},
                     {"device", "device", "D"},
                     {"report", "report file", "FILE"},
                     {"sim-state", "state file", "FILE"},
                     {"sim-chip", "chip", "CHIP"},
                     {"sim-faults", "line faults", "LIST"},
                     {"sim-seed", "fault seed", "N"},
                     {"address", "address", "A"},
                     {"length", "length", "N"},
                     {"baud", "baud", "N"},
                     {"family", "family", "NAME"}});
  if (!parser.parse(rest)) return TOption_Error{parser.errorText().toStdString()};
  if (parser.isSet("help")) return CLI_SHOW_HELP;
  if (parser.isSet("version")) return CLI_SHOW_VERSION;

  options.Json = parser.isSet("json");
  options.Verbose = parser.isSet("verbose");
  options.Store = parser.isSet("store");
  options.Permanent = parser.isSet("permanent");
  options.All = parser.isSet("all");
  options.Identify = parser.isSet("identify");
  for (const QString& device : parser.values("device")) {
    if (device.isEmpty()) return TOption_Error{"--device needs a serial device, a USB path or an index"};
    options.Devices.push_back(device.toStdString());
  }
  if (options.All && !options.Devices.empty()) return TOption_Error{"--all and --device exclude each other"};
  if (parser.isSet("report")) {
    options.Report = parser.value("report").toStdString();
    if (options.Report.empty()) return TOption_Error{"--report needs a file name"};
  }
  if (parser.isSet("sim-state")) {
    options.Bridges.Sim_State = parser.value("sim-state").toStdString();
    if (options.Bridges.Sim_State.empty()) return TOption_Error{"--sim-state needs a file name"};
  }
  if (parser.isSet("sim-chip")) {
    const auto chip = Parse_Sim_Chip(parser.value("sim-chip").toStdString());
    if (const auto* error = std::get_if<TOption_Error>(&chip)) return *error;
    options.Bridges.Sim_Chip = std::get<std::uint8_t>(chip);
  }
  for (const QString& list : parser.values("sim-faults"))
    if (auto problem = Set_Sim_Faults(list.toStdString(), options.Bridges)) return *problem;
  if (parser.isSet("sim-seed"))
    if (auto problem = Set_Sim_Seed(parser.value("sim-seed").toStdString(), options.Bridges)) return *problem;
  if (const auto problem = Simulation_Problem(options.Bridges)) return *problem;
  std::optional<TOption_Error> error;
  options.Address = Number_Option(parser, "address", error);
  options.Length = Number_Option(parser, "length", error);
  options.Baud = Number_Option(parser, "baud", error);
  if (error) return *error;
  if (options.Baud && (*options.Baud < BOOT_BAUD_MIN || *options.Baud > BOOT_BAUD_MAX))
    return TOption_Error{"--baud takes " + std::to_string(BOOT_BAUD_MIN) + " to " + std::to_string(BOOT_BAUD_MAX) +
                         " (the bootloader's range), not " + std::to_string(*options.Baud)};
  if (parser.isSet("family")) {
    const std::string name = parser.value("family").toStdString();
    options.Family = Family_Named(name);
    if (!options.Family) return TOption_Error{"--family is one of " + Family_Keys() + ", not '" + name + "'"};
  }
  for (const QString& word : parser.positionalArguments()) options.Words.push_back(word.toStdString());
  if (options.Words.empty()) return TOption_Error{"no command given"};
  return options;
}
