// The fault table, Control Mode side: faults in work mode, between polls and inside a poll, a
// write-back, a store of the settings or an Open Config. Each row shows its line (or, where the
// protocol cannot tell, leaves work mode running); once the fault is gone work mode returns by
// itself, the panel shows what the board runs with, the next edit reaches the board, the board's
// stored settings are whole (the old ones, or the ones being stored), and the file is untouched.
#include "TFault_Fixture.h"

#include "controller/Config_File.h"

#include <fstream>

using namespace std::chrono_literals;

namespace {
enum TWork_Step {
  STEP_BETWEEN_POLLS,  // struck now; the next tick polls
  STEP_POLL,           // struck as a poll begins
  STEP_WRITE_BACK,     // struck as the write-back of an edit begins
  STEP_SAVE,           // struck as the store of an edit made before begins
  STEP_OPEN_CONFIG,    // struck as Open Config begins to load a file that changes a fan duty
};

struct TWork_Fault_Case {
  const char* Name;
  TWork_Step Step;
  TFault Fault;
  TFault Gone;
  const char* Shown;  // the line of the control log; none: work mode goes on
};

constexpr std::uint8_t DUTY_IN_S0 = 16;
// The bytes of a poll's answers: two for each read, the temperature's the 20th.
constexpr unsigned TEMPERATURE_LOW_BYTE = 2 * 20;
// From the start of the tick: a full read takes about 70 ms, a full write 30 ms, a store 21 ms.
constexpr TDuration INSIDE = 10ms;
constexpr TDuration LATE = 600ms;  // past the 500 ms time-out
// The second byte of the write-back's first frame: its write code, turned into a read code, makes
// the controller answer a request nobody asked.
constexpr unsigned WRITE_CODE = 2;

const TWork_Fault_Case CASES[] = {
    {"Unplugged_Between_Polls", STEP_BETWEEN_POLLS, Unplug(), Replug(), "Error read config"},
    {"Unplugged_In_A_Poll", STEP_POLL, Unplug(INSIDE), Replug(), "Error read config"},
    {"Unplugged_Before_A_Write_Back", STEP_WRITE_BACK, Unplug(), Replug(), "Error update "},
    // The bridge takes the request bytes at once; those still on the wire when it goes are lost.
    {"Unplugged_In_A_Write_Back", STEP_WRITE_BACK, Unplug(INSIDE), Replug(), "Error read config"},
    {"Unplugged_In_A_Save", STEP_SAVE, Unplug(INSIDE), Replug(), "Error save config to controller"},
    {"Unplugged_Before_Open_Config", STEP_OPEN_CONFIG, Unplug(), Replug(), "Error connection"},
    {"Unplugged_In_Open_Config", STEP_OPEN_CONFIG, Unplug(INSIDE), Replug(), "Error read config"},
    {"No_Answer_To_A_Poll", STEP_POLL, Silence(true), Silence(false), "Error read config"},
    {"No_Answer_To_A_Save", STEP_SAVE, Silence(true), Silence(false), "Error save config to controller"},
    {"No_Answer_To_Open_Config", STEP_OPEN_CONFIG, Silence(true), Silence(false), "Error read config"},
    {"Corrupted_Byte_To_The_Controller", STEP_POLL, Corrupt(SIM_TO_BOARD, 1), ONE_SHOT, "Error read config"},
    {"Late_Answer_In_A_Poll", STEP_POLL, Delay(LATE), Delay(0ms), "Error read config"},
    {"Late_Answer_In_Open_Config", STEP_OPEN_CONFIG, Delay(LATE), Delay(0ms), "Error read config"},
    {"Stray_Answer_Before_A_Poll", STEP_WRITE_BACK, Corrupt(SIM_TO_BOARD, WRITE_CODE, 0x01), ONE_SHOT, nullptr},
    {"Corrupted_Byte_From_The_Controller", STEP_POLL, Corrupt(SIM_TO_HOST, TEMPERATURE_LOW_BYTE, 0x01), ONE_SHOT,
     nullptr},
    {"Second_Board_In_Work_Mode", STEP_BETWEEN_POLLS, Attach_Second_Board(SIM_FACTORY_USBXPRESS),
     Unplug_Second_Board(), nullptr},
    {"Second_Board_Then_Open_Config", STEP_OPEN_CONFIG, Attach_Second_Board(SIM_FACTORY_USBXPRESS),
     Unplug_Second_Board(), "Remove all usb devices except for Yeli controller!"},
};

// Rows go by their names in test names and messages.
void PrintTo(const TWork_Fault_Case& row, std::ostream* out) { *out << row.Name; }

class TWork_Mode_Fault : public TFault_Fixture, public testing::WithParamInterface<TWork_Fault_Case> {
protected:
  TWork_Mode_Fault() : TFault_Fixture(SIM_FACTORY_USBXPRESS) {}

  // Brings the step to where the fault strikes, and strikes it.
  void Strike_In(TWork_Step step, const TFault& fault);

  TBytes Config_File_Bytes() const;

  const std::filesystem::path Config_File = Folder / "site.cnf";
  std::uint16_t Edited_Duty = 0;  // of the edit the row's step writes back, stores or loads
};

TBytes TWork_Mode_Fault::Config_File_Bytes() const {
  std::ifstream file(Config_File, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void TWork_Mode_Fault::Strike_In(TWork_Step step, const TFault& fault) {
  switch (step) {
    case STEP_BETWEEN_POLLS: return Strike(fault);
    case STEP_POLL: return Strike_At_Next_Tick(fault);
    case STEP_WRITE_BACK:
      Edited_Duty = Move_Inflow_S0(30);
      return Strike_At_Next_Tick(fault);
    case STEP_SAVE:
      Edited_Duty = Move_Inflow_S0(40);
      Tick();
      Tab().Button10->click();  // "Write Config"
      return Strike_At_Next_Tick(fault);
    case STEP_OPEN_CONFIG: {
      TVOK_Prop prop = Controller().Prop;
      prop.PWM_IN_0 = Edited_Duty = 450;
      Write_Config_File(Config_File, prop);
      Dialogs.File_Answers = {QString::fromStdString(Config_File.string())};
      Strike(fault);
      Tab().Button8->click();  // "Open Config"
      return;
    }
  }
}
}  // namespace

TEST_P(TWork_Mode_Fault, Shows_Its_Line_And_Work_Mode_Returns_By_Itself) {
  const TWork_Fault_Case& row = GetParam();
  Enter_Work_Mode();
  Tick();  // the first write-back
  const TSim_Settings stored_before = Stored();
  TSim_Settings stored_edited = stored_before;
  Strike_In(row.Step, row.Fault);
  stored_edited[DUTY_IN_S0] = Edited_Duty;
  const TBytes file = Config_File_Bytes();

  if (row.Shown) {
    Tick_Until_Shown({LOG_CONTROL, row.Shown}, 2);
  } else {  // unnoticed: work mode goes on with the controller under test, and only with it
    Tick();
    const std::uint16_t duty = Move_Inflow_S0(20);
    Tick();
    EXPECT_EQ(Controller().VOK_State, VOK_OPEN);
    EXPECT_EQ(Control_Log(), QStringList{"Firmware version: 2.3"});
    EXPECT_EQ(Board_Setting(DUTY_IN_S0), duty);
  }
  Strike(row.Gone);
  // Open Config's failures leave the link in work mode with the port marked closed.
  Tick_Until([&] { return Controller().VOK_State == VOK_OPEN && Controller().CP_State == CP_ENABLED; }, 12);
  Tick();  // settled: a poll after the reconnection's own write-back
  EXPECT_TRUE(Record_Matches_Board());
  if (row.Step == STEP_SAVE) {
    EXPECT_TRUE(Stored() == stored_before || Stored() == stored_edited);
  } else {
    EXPECT_EQ(Stored(), stored_before);
  }

  const std::uint16_t duty = Move_Inflow_S0(70);
  Tick();
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), duty);
  EXPECT_EQ(Config_File_Bytes(), file);
  EXPECT_TRUE(Only_The_Controller_Heard_Us());
}

INSTANTIATE_TEST_SUITE_P(Fault_Table, TWork_Mode_Fault, testing::ValuesIn(CASES));

// The rest of the table: requests and files around a fault, each a short story of what the user
// does, what the user sees, and what the controller then holds.
namespace {
constexpr const char* STORE_WAITS = "Write Config: the settings are stored once the controller is connected";

class TRequest_Fault : public TFault_Fixture {
protected:
  TRequest_Fault() : TFault_Fixture(SIM_FACTORY_USBXPRESS) {
    Enter_Work_Mode();
    Tick();  // the first write-back
  }
  void Write_Config() { Tab().Button10->click(); }
  // The settings of a configuration file, against the board's.
  bool File_Matches_Board(const std::filesystem::path& file) {
    TVOK_Prop saved;
    Read_Config_File(file, saved);
    const TVOK_Prop shown = std::exchange(Controller().Prop, saved);
    const bool matches = Record_Matches_Board();
    Controller().Prop = shown;
    return matches;
  }
};
}  // namespace

// Save Config right after a poll that a late answer, or an answer nobody asked for, broke off.
TEST_F(TRequest_Fault, Save_Config_After_A_Broken_Poll_Writes_One_Whole_Reading) {
  struct TCase {
    const char* Name;
    TFault Fault;
    TFault Gone;
  };
  const TCase cases[] = {{"late answer", Delay(LATE), Delay(0ms)},
                         {"stray answer", Corrupt(SIM_TO_BOARD, WRITE_CODE, 0x01), ONE_SHOT}};
  for (const TCase& row : cases) {
    SCOPED_TRACE(row.Name);
    Move_Inflow_S0(60);
    Strike_At_Next_Tick(row.Fault);
    Tick();
    const std::filesystem::path file = Folder / (std::string(row.Name) + ".cnf");
    Dialogs.File_Answers = {QString::fromStdString(file.string())};
    Tab().Button9->click();
    EXPECT_EQ(Control_Log(), QStringList{"Save current config to file OK"});
    EXPECT_TRUE(File_Matches_Board(file));
    Strike(row.Gone);
    Tick_Until([&] { return Controller().VOK_State == VOK_OPEN && Controller().CP_State == CP_ENABLED; }, 12);
  }
}

// The store waits for the controller, with the settings the user had, and the exit question stays
// armed until the controller confirmed it.
TEST_F(TRequest_Fault, Write_Config_While_Unplugged_Stores_Once_The_Bridge_Returns) {
  const std::uint16_t duty = Move_Inflow_S0(40);
  Tick();
  Strike(Unplug());
  Tick_Until_Shown({LOG_CONTROL, "Error read config"}, 2);
  Write_Config();
  EXPECT_EQ(Control_Log().back(), STORE_WAITS);
  EXPECT_TRUE(Form->Config_Not_Written);
  Tick();
  Strike(Replug());
  Tick_Until_Shown({LOG_CONTROL, "Save config to controller OK"}, 8);
  EXPECT_EQ(Stored().at(DUTY_IN_S0), duty);
  EXPECT_TRUE(Record_Matches_Board());
  EXPECT_FALSE(Form->Config_Not_Written);
  EXPECT_TRUE(Form->close());
  EXPECT_TRUE(Dialogs.Questions.isEmpty());
}

// The controller may have stored before its answer was lost; the user is told it failed either way.
TEST_F(TRequest_Fault, A_Failed_Store_Keeps_The_Exit_Question_Armed) {
  TSim_Settings stored = Stored();
  const TSim_Settings before = stored;
  stored[DUTY_IN_S0] = Move_Inflow_S0(40);
  Tick();
  Strike(Silence(true));
  Write_Config();
  Tick_Until_Shown({LOG_CONTROL, "Error save config to controller"}, 2);
  EXPECT_TRUE(Form->Config_Not_Written);
  Dialogs.Yes_No_Answers = {false};
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Dialogs.Questions.size(), 1);
  Strike(Silence(false));
  Tick_Until([&] { return Controller().VOK_State == VOK_OPEN && Controller().CP_State == CP_ENABLED; }, 12);
  EXPECT_TRUE(Stored() == before || Stored() == stored);
  EXPECT_TRUE(Record_Matches_Board());
}

// "Program Mode" selected, and "Change" pressed before the next tick released work mode.
TEST_F(TRequest_Fault, A_Request_Made_In_Work_Mode_Is_Carried_Out_After_The_Release) {
  const TSim_Settings stored = Stored();
  Select_Page(0);
  Form->Button1Click();
  Tick_Until([&] { return Board.Stored_Pid() == 0xEA60; }, 6);
  EXPECT_TRUE(Program_Log().contains("Found VCP device") || Program_Log().contains("Reset Chip"))
      << Program_Log().join(" | ").toStdString();
  EXPECT_EQ(Stored(), stored);
}
