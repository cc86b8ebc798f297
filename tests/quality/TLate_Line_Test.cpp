// The window left in work mode on a line where answers often come late, as
// `yeli-service --simulate=usbxpress --sim-state FILE --sim-faults late=0.05` runs it: after two
// minutes with no edits, Write Config stores exactly the settings the controller started with.
#include "platform/sim/Sim_Kept_Boards.h"
#include "support/TControl_Board_Fixture.h"
#include "support/TTest_Folder.h"

#include <QShortcut>

#include <fstream>

namespace {
constexpr std::uint32_t SEED = 5;

struct TState_Folder {
  TTest_Folder Folder;
  std::filesystem::path State_File = Folder / "board.state";
};

class TLate_Line : public TState_Folder, public TControl_Board_Fixture {
protected:
  TLate_Line()
      : TControl_Board_Fixture([this](TSim_Bus& bus) -> TSim_Board& {
          TSim_Board_Setup setup = Simulation_Setup(SIM_FACTORY_USBXPRESS);
          setup.Line_Faults.Late = 0.05;
          setup.Fault_Seed = SEED;
          std::string error;
          TSim_Board* board = Attach_Board(bus, std::move(setup), State_File.string(), {}, error);
          if (!board) throw std::runtime_error(error);
          return *board;
        }) {}

  // The file's stored settings, without the filter running time, which counts on while the fans run.
  std::vector<std::string> Setting_Lines() const {
    std::ifstream in(State_File);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      if (line.starts_with("setting ") && !line.starts_with("setting 83 ")) lines.push_back(line);
    return lines;
  }
};
}  // namespace

TEST_F(TLate_Line, Two_Minutes_Of_Work_Mode_Then_Write_Config_Stores_The_Settings_It_Started_With) {
  const std::vector<std::string> started_with = Setting_Lines();
  ASSERT_FALSE(started_with.empty());
  Tick_Until_State(VOK_CHECK_USB_CONN, 20);
  Select_Page(1);
  Tick_Until_State(VOK_OPEN, 40);
  for (int second = 0; second < 120; ++second) Tick();

  // Ctrl+W on the page, again after a store that the line broke off, as the user would.
  bool stored = false;
  for (int press = 0; press < 10 && !stored; ++press) {
    emit Form->findChild<QShortcut*>("HotKey2")->activated();
    for (int tick = 0; tick < 40; ++tick) {
      Tick();
      if (Control_Log().contains("Save config to controller OK")) stored = true;
      if (stored || Control_Log().contains("Error save config to controller")) break;
    }
  }
  ASSERT_TRUE(stored) << Control_Log().join(" | ").toStdString();
  EXPECT_FALSE(Form->Config_Not_Written);
  EXPECT_EQ(Setting_Lines(), started_with);
}
