#include "app/TService_Options.h"

#include <gtest/gtest.h>

#include <optional>

TEST(Service_Options, Simulation_Modes) {
  const std::pair<std::vector<std::string>, TSimulate_Mode> cases[] = {
      {{"--simulate"}, SIMULATE_VCP},
      {{"--simulate=vcp"}, SIMULATE_VCP},
      {{"--simulate=usbxpress"}, SIMULATE_USBXPRESS},
      {{"--simulate=blank"}, SIMULATE_BLANK},
      {{"--simulate=old"}, SIMULATE_OLD}};
  for (const auto& [arguments, mode] : cases) {
    const auto parsed = Parse_Service_Options(arguments);
    ASSERT_TRUE(std::holds_alternative<TService_Options>(parsed)) << arguments[0];
    EXPECT_EQ(std::get<TService_Options>(parsed).Simulate, mode);
  }
}

TEST(Service_Options, No_Options_Means_Real_Hardware) {
  const auto parsed = Parse_Service_Options({});
  ASSERT_TRUE(std::holds_alternative<TService_Options>(parsed));
  EXPECT_FALSE(std::get<TService_Options>(parsed).Simulate);
}

TEST(Service_Options, State_File_In_Both_Spellings) {
  for (const auto& arguments : {std::vector<std::string>{"--simulate", "--sim-state", "a.state"},
                                std::vector<std::string>{"--sim-state=a.state", "--simulate=old"}}) {
    const auto parsed = Parse_Service_Options(arguments);
    ASSERT_TRUE(std::holds_alternative<TService_Options>(parsed));
    EXPECT_EQ(std::get<TService_Options>(parsed).Sim_State, "a.state");
  }
}

TEST(Service_Options, Chips_Of_The_Virtual_Bridge_In_Both_Spellings) {
  const std::pair<std::vector<std::string>, std::optional<std::uint8_t>> cases[] = {
      {{"--simulate"}, std::nullopt},
      {{"--simulate", "--sim-chip", "cp2102"}, 0x02},
      {{"--sim-chip=cp2102n", "--simulate=usbxpress"}, 0x20},
      {{"--simulate", "--sim-chip", "cp2104"}, 0x04}};
  for (const auto& [arguments, chip] : cases) {
    const auto parsed = Parse_Service_Options(arguments);
    ASSERT_TRUE(std::holds_alternative<TService_Options>(parsed)) << arguments.back();
    EXPECT_EQ(std::get<TService_Options>(parsed).Sim_Chip, chip);
  }
}

TEST(Service_Options, Help_And_Version) {
  EXPECT_EQ(std::get<TService_Request>(Parse_Service_Options({"--help"})), SHOW_HELP);
  EXPECT_EQ(std::get<TService_Request>(Parse_Service_Options({"--simulate", "--version"})), SHOW_VERSION);
}

TEST(Service_Options, Mistakes_Are_Named) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"--simulate=usb"}, "unknown simulation mode 'usb' (use vcp, usbxpress, blank or old)"},
      {{"--simulate", "--sim-state"}, "--sim-state needs a file name"},
      {{"--sim-state", "x"}, "--sim-state needs --simulate"},
      {{"--simulate", "--sim-chip", "cp2108"}, "unknown chip 'cp2108' for --sim-chip (use cp2102, cp2102n or cp2104)"},
      {{"--simulate", "--sim-chip"}, "--sim-chip needs a chip"},
      {{"--sim-chip", "cp2104"}, "--sim-chip needs --simulate"}};
  for (const auto& [arguments, message] : cases)
    EXPECT_EQ(std::get<TOption_Error>(Parse_Service_Options(arguments)).Message, message);
}

TEST(Service_Options, Taken_From_Another_Programs_Line_Which_Keeps_The_Rest_In_Order) {
  std::vector<std::string> line = {"read-flash", "--simulate=old:3", "out.bin", "--sim-state", "boards.state",
                                   "--length=16", "--sim-faults=2:drop=0.5", "--", "--sim-seed"};
  const auto taken = Take_Sim_Options(line, SIM_MANY_BOARDS);
  ASSERT_TRUE(std::holds_alternative<TService_Options>(taken)) << std::get<TOption_Error>(taken).Message;
  const TService_Options& options = std::get<TService_Options>(taken);
  EXPECT_EQ(options.Simulate, SIMULATE_OLD);
  EXPECT_EQ(options.Sim_Boards, 3u);
  EXPECT_EQ(options.Sim_State, "boards.state");
  EXPECT_TRUE(Sim_Faults_Of(options, 2).Any());
  EXPECT_FALSE(Sim_Faults_Of(options, 1).Any());
  EXPECT_EQ(line, (std::vector<std::string>{"read-flash", "out.bin", "--length=16", "--", "--sim-seed"}));

  // Only a program of many boards counts them; yeli-service's line is left as it was when refused.
  std::vector<std::string> one = {"--simulate=vcp:3"};
  EXPECT_EQ(std::get<TOption_Error>(Take_Sim_Options(one, SIM_ONE_BOARD)).Message,
            "unknown simulation mode 'vcp:3' (use vcp, usbxpress, blank or old)");
  EXPECT_EQ(one, std::vector<std::string>{"--simulate=vcp:3"});
  std::vector<std::string> many = {"--simulate=vcp:33"};
  EXPECT_EQ(std::get<TOption_Error>(Take_Sim_Options(many, SIM_MANY_BOARDS)).Message,
            "--simulate=MODE:N attaches 1 to 32 boards, not '33'");
}
