// The controller application's side of the parameter protocol: reads, writes, the filter-time
// reset (84), the store command (96), the version (255), and the live status values.
#include "TSim_Host.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {
struct TApplication : testing::Test {
  TSim_Host Host;

  void SetUp() override { Host.Enter_Application(); }
  std::optional<std::uint16_t> Read(std::uint8_t id) {
    Host.Send({0xFF, 0x01, id});
    const TBytes answer = Host.Receive(2);
    if (answer.size() != 2) return std::nullopt;
    return static_cast<std::uint16_t>(answer[0] << 8 | answer[1]);
  }
  void Write(std::uint8_t id, std::uint16_t value) {
    Host.Send({0xFF, 0x00, id, static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
  }
  void Restart() {
    Host.Set_Lines(true, false);
    Host.Set_Lines(false, false);
    Host.Clock.Sleep(10ms);
  }
  void Set_Inputs(const std::function<void(TSim_Inputs&)>& change) {
    TSim_Inputs inputs = Host.Board.Inputs();
    change(inputs);
    Host.Board.Set_Inputs(inputs);
  }
};
}  // namespace

TEST_F(TApplication, Every_Setting_Reads_Back_What_Was_Written_And_Nothing_Answers_A_Write) {
  for (std::uint8_t id : SIM_SETTING_IDS) {
    EXPECT_EQ(Read(id), Factory_Settings().at(id)) << int{id};
    Write(id, 0xFFFF - id);
    EXPECT_TRUE(Host.Receive().empty()) << int{id};
    EXPECT_EQ(Read(id), 0xFFFF - id) << int{id};
  }
}

TEST_F(TApplication, Status_Values_Cannot_Be_Written_And_Unknown_Ids_Are_Not_Answered) {
  Write(255, 0x0909);
  Write(82, 1);
  EXPECT_EQ(Read(255), 0x0203);
  EXPECT_EQ(Read(82), 0);
  for (std::uint8_t id : {0, 22, 84, 97, 143, 254}) EXPECT_EQ(Read(id), std::nullopt) << int{id};
}

TEST_F(TApplication, A_Broken_Frame_Is_Ignored) {
  Host.Send({0x12, 0xFF, 0x07, 0xFF, 0x01, 17});  // junk, a start with no known direction, a whole request
  EXPECT_EQ(Host.Receive(), (TBytes{0x01, 0x90}));
  Host.Send({0xFF, 0x01});  // broken off: what comes later starts a new frame
  Host.Clock.Sleep(100ms);
  EXPECT_EQ(Read(18), 600);
  Host.Send({0xFF, 0x00, 16, 0x01});  // a write broken off before its last byte stores nothing
  Host.Clock.Sleep(100ms);
  EXPECT_EQ(Read(16), 200);
}

TEST_F(TApplication, Edits_Survive_A_Restart_Only_When_Stored_With_96) {
  Write(17, 555);
  Restart();
  EXPECT_EQ(Read(17), 400);

  Write(17, 555);
  Host.Send({0xFF, 0x01, 96});
  EXPECT_EQ(Host.Receive().size(), 2u);
  EXPECT_EQ(Host.Board.Stored_Settings().at(17), 555);
  Restart();
  EXPECT_EQ(Read(17), 555);
}

// Under --simulate ten minutes of filter time pass per second while a fan runs.
TEST(TSim_Application_Filter, The_Filter_Time_Counts_While_A_Fan_Runs_And_84_Resets_It) {
  TSim_Board_Setup setup = Simulation_Setup(SIM_FACTORY_USBXPRESS);
  TSim_Host host(setup);
  host.Clock.Sleep(30s);
  EXPECT_EQ(host.Board.Live_Parameter(83), 30);
  host.Enter_Application();  // a restart keeps the time of the last store: 0
  EXPECT_EQ(host.Board.Live_Parameter(83), 0);
  host.Clock.Sleep(5s);
  host.Send({0xFF, 0x00, 84, 0x00, 0x00});
  host.Clock.Sleep(2s + 500ms);
  EXPECT_EQ(host.Board.Live_Parameter(83), 2);

  TSim_Inputs stopped = host.Board.Inputs();
  stopped.Speed = SIM_SPEED_S0;
  host.Send({0xFF, 0x00, 16, 0x00, 0x00});  // S0: inflow 0
  host.Send({0xFF, 0x00, 32, 0x00, 0x00});  // and outflow 0
  host.Board.Set_Inputs(stopped);
  host.Clock.Sleep(1min);
  EXPECT_EQ(host.Board.Live_Parameter(83), 2);
}

TEST(TSim_Application_Version, Reads_The_Version_From_Flash) {
  for (const auto& [state, version] : {std::pair{SIM_FACTORY_USBXPRESS, 0x0203}, {SIM_FACTORY_OLD, 0x0200}}) {
    TSim_Host host(Factory_Setup(state));
    EXPECT_EQ(host.Board.Live_Parameter(255), version);
  }
  EXPECT_EQ(TSim_Host(Factory_Setup(SIM_FACTORY_BLANK)).Board.Live_Parameter(255), std::nullopt);  // nothing runs
}

TEST_F(TApplication, The_Fans_Follow_Speed_Step_Forced_Contact_Humidity_And_Temperature) {
  struct TCase {
    const char* Name;
    std::function<void(TSim_Inputs&)> Inputs;
    int In, Out;  // tachometer counts per second, one count of noise either way
  };
  const TCase cases[] = {
      {"S1 (40 %)", [](TSim_Inputs&) {}, 24, 24},
      {"S3 (80 %)", [](TSim_Inputs& i) { i.Speed = SIM_SPEED_S3; }, 48, 48},
      {"forced contact (100 %)", [](TSim_Inputs& i) { i.Forced_Contact = true; }, 60, 60},
      {"humidity above its level (90 %)", [](TSim_Inputs& i) { i.Humidity = 61; }, 54, 54},
      {"temperature at the switch-off level", [](TSim_Inputs& i) { i.Temperature = 5; }, 0, 24},
      {"S0 with its duty set to 0", [](TSim_Inputs& i) { i.Speed = SIM_SPEED_S0; }, 0, 12},
  };
  Write(16, 0);
  for (const TCase& c : cases) {
    Host.Board.Set_Inputs({});
    Set_Inputs(c.Inputs);
    EXPECT_NEAR(*Read(64), c.In, 1) << c.Name;
    EXPECT_NEAR(*Read(65), c.Out, 1) << c.Name;
  }
}

TEST_F(TApplication, Temperature_Humidity_Contact_And_Bypass_Follow_The_Inputs) {
  Set_Inputs([](TSim_Inputs& i) {
    i.Temperature = -5;
    i.Humidity = 50;
    i.Forced_Contact = true;
    i.Bypass_Open = true;
  });
  EXPECT_EQ(Read(81), 35);
  EXPECT_EQ(Read(80), 50 * 33);
  EXPECT_EQ(Read(82), 1);
  EXPECT_EQ(Read(48), 1);
  Write(50, 1);  // inverted
  EXPECT_EQ(Read(48), 0);
  Write(49, 0);  // not fitted
  Write(50, 0);
  EXPECT_EQ(Read(48), 0);
}

TEST_F(TApplication, Temperature_And_Humidity_Drift_Within_Plausible_Bounds) {
  int lowest = 100, highest = -100;
  for (int minute = 0; minute < 20; ++minute) {
    const int celsius = *Read(81) - 40;
    lowest = std::min(lowest, celsius);
    highest = std::max(highest, celsius);
    EXPECT_NEAR(*Read(80) / 33, 45, 6);
    Host.Clock.Sleep(1min);
  }
  EXPECT_GE(lowest, 18);
  EXPECT_LE(highest, 24);
  EXPECT_LT(lowest, highest);
}
