// The command line: options anywhere, numbers, and every kind of bad usage, the virtual
// controller's options among them, refused with status 2 and one line before anything is touched.
#include "TCli_Fixture.h"
#include "cli/Cli_Commands.h"
#include "cli/TCli_Options.h"

namespace {
TCli_Options Parsed(const std::vector<std::string>& arguments) {
  auto parsed = Parse_Cli_Options(arguments);
  if (const auto* error = std::get_if<TOption_Error>(&parsed)) ADD_FAILURE() << error->Message;
  return std::holds_alternative<TCli_Options>(parsed) ? std::get<TCli_Options>(parsed) : TCli_Options{};
}

using TCli_Usage = TCli_Fixture;
}  // namespace

TEST(Cli_Options, Options_Go_Anywhere_Around_The_Command) {
  const TCli_Options options =
      Parsed({"read-flash", "--device", "1-2", "out.bin", "--address", "0x08001000", "--length=4096", "--verbose"});
  EXPECT_EQ(options.Words, (std::vector<std::string>{"read-flash", "out.bin"}));
  EXPECT_EQ(options.Devices, (std::vector<std::string>{"1-2"}));
  EXPECT_EQ(options.Address, 0x08001000u);
  EXPECT_EQ(options.Length, 4096u);
  EXPECT_TRUE(options.Verbose);
  EXPECT_FALSE(options.Json);
}

TEST(Cli_Options, Numbers_Are_Decimal_Or_Hexadecimal_And_Fit_32_Bits) {
  const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
      {"4096", 4096},    {"0x1000", 4096},   {"0XFFFFFFFF", 0xFFFFFFFF}, {"4294967296", std::nullopt},
      {"", std::nullopt}, {"0x", std::nullopt}, {"12k", std::nullopt},    {"-1", std::nullopt}};
  for (const auto& [text, number] : cases) EXPECT_EQ(Parse_Cli_Number(text), number) << text;
}

TEST_F(TCli_Usage, Bad_Usage_Ends_With_Status_2_And_One_Line) {
  Attach();
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{}, "yeli-cli: no command given ('yeli-cli --help' shows the usage)\n"},
      {{"frobnicate"}, "yeli-cli: unknown command 'frobnicate' ('yeli-cli --help' lists them)\n"},
      {{"cnf"}, "yeli-cli: 'cnf' needs show or diff\n"},
      {{"cnf", "view", "a.cnf"}, "yeli-cli: 'cnf' needs show or diff\n"},
      {{"identify", "extra"}, "yeli-cli: identify: takes no arguments\n"},
      {{"save"}, "yeli-cli: save: needs FILE.cnf\n"},
      {{"cnf", "diff", "a.cnf"}, "yeli-cli: cnf diff: needs A.cnf B.cnf\n"},
      {{"save", "a.cnf", "--json"}, "yeli-cli: save: --json does not apply to this command\n"},
      {{"read", "--store"}, "yeli-cli: read: --store does not apply to this command\n"},
      {{"identify", "--length", "16"}, "yeli-cli: identify: --address and --length do not apply to this command\n"},
      {{"mode", "usb"}, "yeli-cli: mode: the mode is vcp or usbxpress, not 'usb'\n"},
      {{"read", "--frobnicate"}, "yeli-cli: Unknown option 'frobnicate'. ('yeli-cli --help' shows the usage)\n"},
      {{"--simulate=usb", "read"},
       "yeli-cli: unknown simulation mode 'usb' (use vcp, usbxpress, blank or old) ('yeli-cli --help' shows the "
       "usage)\n"},
      {{"--sim-state", "a.state", "read"},
       "yeli-cli: --sim-state needs --simulate ('yeli-cli --help' shows the usage)\n"},
      {{"--simulate", "--sim-chip", "cp2108", "read"},
       "yeli-cli: unknown chip 'cp2108' for --sim-chip (use cp2102, cp2102n or cp2104) ('yeli-cli --help' shows "
       "the usage)\n"},
      {{"read", "--permanent"}, "yeli-cli: read: --permanent does not apply to this command\n"},
      {{"read-flash", "a.bin", "--address", "start"},
       "yeli-cli: --address needs a number, not 'start' ('yeli-cli --help' shows the usage)\n"},
      {{"flash", "a.hex", "--baud", "230400"},
       "yeli-cli: --baud takes 1200 to 115200 (the bootloader's range), not 230400 ('yeli-cli --help' shows the "
       "usage)\n"},
      {{"flash", "a.hex", "--baud", "600"},
       "yeli-cli: --baud takes 1200 to 115200 (the bootloader's range), not 600 ('yeli-cli --help' shows the usage)\n"},
      {{"read", "--baud", "57600"}, "yeli-cli: read: --baud does not apply to this command\n"},
      {{"image", "show", "a.hex", "--family", "f4"},
       "yeli-cli: --family is one of low-density, medium-density, high-density, connectivity-line, "
       "medium-density-vl, high-density-vl, xl-density, not 'f4' ('yeli-cli --help' shows the usage)\n"},
      {{"flash", "a.hex", "--family", "xl-density"}, "yeli-cli: flash: --family does not apply to this command\n"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(arguments.empty() ? "(nothing)" : arguments[0]);
    EXPECT_EQ(Run_Cli(arguments), 2);
    EXPECT_EQ(Errors(), message);
    EXPECT_EQ(Output(), "");
  }
  EXPECT_TRUE(Bus.Board(0).Wire_Log(SIM_TO_BOARD).empty());
}

TEST_F(TCli_Usage, Help_And_Version_Go_To_Standard_Output) {
  EXPECT_EQ(Run_Cli({"--help"}), 0);
  for (const TCli_Command& command : Cli_Commands()) EXPECT_NE(Output().find(command.Name), std::string::npos);
  EXPECT_NE(Output().find("Exit status"), std::string::npos);
  EXPECT_NE(Output().find("--sim-state FILE"), std::string::npos);
  const std::string help = Output();
  EXPECT_EQ(Run_Cli({"read", "-h"}), 0);
  EXPECT_EQ(Output(), help);
  EXPECT_EQ(Run_Cli({"--version"}), 0);
  EXPECT_EQ(Output(), std::string("yeli-cli ") + YELI_VERSION + "\n");
  EXPECT_EQ(Errors(), "");
}
