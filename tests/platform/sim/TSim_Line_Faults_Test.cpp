// The line faults a tester switches on from the command line: how the list is read, and what each
// fault does to the bytes between the host and the board, the same way again for the same seed.
#include "TSim_Host.h"
#include "platform/sim/Parse_Sim_Faults.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(Sim_Fault_List, Items_Are_Read_Or_The_Bad_One_Is_Named) {
  const auto faults = std::get<TSim_Line_Faults>(Parse_Sim_Faults("noise=0.0005,late=0.02,drop=1,unplug=60"));
  EXPECT_EQ(faults.Noise, 0.0005);
  EXPECT_EQ(faults.Late, 0.02);
  EXPECT_EQ(faults.Drop, 1);
  EXPECT_EQ(faults.Unplug_Period, 60s);
  EXPECT_FALSE(std::get<TSim_Line_Faults>(Parse_Sim_Faults("noise=0")).Any());

  const std::pair<const char*, const char*> refused[] = {
      {"", "--sim-faults needs a list such as noise=0.001,late=0.02"},
      {"noise=0.1,hum=0.1", "--sim-faults: unknown fault 'hum' (use noise, late, drop or unplug)"},
      {"late", "--sim-faults: 'late' needs a value, as in noise=0.001"},
      {"drop=1.5", "--sim-faults: 'drop=1.5' needs a probability from 0 to 1"},
      {"noise=-0.1", "--sim-faults: 'noise=-0.1' needs a probability from 0 to 1"},
      {"noise=nan", "--sim-faults: 'noise=nan' needs a probability from 0 to 1"},
      {"late=0.1,", "--sim-faults: '' needs a value, as in noise=0.001"},
      {"unplug=2", "--sim-faults: 'unplug=2' needs a period in seconds longer than the 2 s the bridge stays away"},
  };
  for (const auto& [list, problem] : refused) EXPECT_EQ(std::get<std::string>(Parse_Sim_Faults(list)), problem) << list;
}

namespace {
TSim_Board_Setup With_Faults(const char* list, std::uint32_t seed = 7) {
  TSim_Board_Setup setup = Factory_Setup(SIM_FACTORY_USBXPRESS);
  setup.Line_Faults = std::get<TSim_Line_Faults>(Parse_Sim_Faults(list));
  setup.Fault_Seed = seed;
  return setup;
}

// The answers to `reads` reads of the fan duty at S1 (400), each given its time to come.
TBytes Answers(TSim_Host& host, int reads) {
  host.Enter_Application();
  TBytes answers;
  for (int read = 0; read < reads; ++read) {
    host.Send({0xFF, 0x01, 17});
    const TBytes answer = host.Receive(2);
    answers.insert(answers.end(), answer.begin(), answer.end());
    host.Clock.Sleep(1s);  // what a late answer left behind arrives, and is dropped with the rest
    host.Usb.Flush_Buffers(host.Handle, 0, 1);
  }
  return answers;
}
}  // namespace

TEST(Sim_Line_Faults, Each_Fault_Shows_On_The_Wire_And_A_Seed_Repeats_It) {
  const TBytes clean = {0x01, 0x90};
  struct TCase {
    const char* List;
    std::function<void(const TBytes&)> Check;
  };
  const TCase cases[] = {
      {"noise=0", [&](const TBytes& got) { EXPECT_EQ(got.size(), 2u * 20); }},
      {"drop=1", [&](const TBytes& got) { EXPECT_TRUE(got.empty()); }},
      {"late=1", [&](const TBytes& got) { EXPECT_TRUE(got.empty()); }},  // each answer after the time-out
      {"noise=1", [&](const TBytes& got) {
         // A request that noise turns into another one, or none, gets another answer, or none.
         for (std::size_t i = 0; i + 1 < got.size(); i += 2) EXPECT_NE(TBytes(got.begin() + i, got.begin() + i + 2), clean);
       }},
      {"drop=0.2,late=0.2,noise=0.01", [&](const TBytes& got) {
         EXPECT_GT(got.size(), 0u);
         EXPECT_LT(got.size(), 2u * 20);
       }},
  };
  for (const TCase& row : cases) {
    SCOPED_TRACE(row.List);
    TSim_Host host(With_Faults(row.List));
    const TBytes got = Answers(host, 20);
    row.Check(got);
    TSim_Host again(With_Faults(row.List));
    EXPECT_EQ(Answers(again, 20), got);
  }
}

TEST(Sim_Line_Faults, The_Bridge_Leaves_The_Bus_For_Two_Seconds_At_Each_Period) {
  TSim_Host host(With_Faults("unplug=10"));
  const std::pair<TDuration, bool> listed[] = {{9s, true}, {11s, false}, {12500ms, true}, {19s, true}, {21s, false},
                                               {22500ms, true}};
  for (const auto& [at, shown] : listed) {
    host.Clock.Sleep_Until(at);
    EXPECT_EQ(host.Board.Listed(SIM_VIEW_USBXPRESS), shown) << at.count();
  }
}
