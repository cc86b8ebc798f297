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

std::variant<TCli_Options, TCli_Request, TOption_Error> Parse_Cli_Options(const std::vector<std::string>& arguments) {
  TCli_Options options;
  QStringList line = {"yeli-cli"};
  for (const std::string& argument : arguments) line << QString::fromStdString(argument);

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
                     {"address", "address", "A"},
                     {"length", "length", "N"},
                     {"baud", "baud", "N"},
                     {"family", "family", "NAME"}});
  if (!parser.parse(line)) return TOption_Error{parser.errorText().toStdString()};
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
