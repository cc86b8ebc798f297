// The Control Mode page end to end on the virtual board: what the engineer does on the window
// reaches the board's memory, and the board's state reaches the window, tick by tick.
#include "support/TControl_Board_Fixture.h"

#include "controller/Config_File.h"

#include <QTemporaryDir>

#include <fstream>

using namespace std::chrono_literals;

namespace {
constexpr std::uint8_t DUTY_IN_S0 = 16, BYPASS_FITTED = 49, FILTER_TIME = 83, FILTER_ALARM = 85, T_OFF = 112;

class TControl_Board : public TControl_Board_Fixture {
protected:
  explicit TControl_Board(TSim_Factory_State state = SIM_FACTORY_USBXPRESS) : TControl_Board_Fixture(state) {}
  QString File(const char* name) const { return Folder.filePath(name); }
  QSlider* Inflow_S0() { return Tab().Inflow[0].Slider; }
  QTemporaryDir Folder;
};

class TControl_Vcp_Board : public TControl_Board {
protected:
  TControl_Vcp_Board() : TControl_Board(SIM_FACTORY_VCP) {}
};
}  // namespace

TEST_F(TControl_Vcp_Board, The_Typical_Run_Takes_An_Edit_To_The_Boards_Memory_And_Through_A_File) {
  Form->Program.CheckBox4->setChecked(true);  // "Auto"
  Tick();
  EXPECT_EQ(Board.Stored_Pid(), 0xEA61);  // switched to USBXpress mode
  Tick_Until_State(VOK_CHECK_USB_CONN);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.3"));

  Select_Page(1);  // "Control Mode"
  Tick();
  ASSERT_EQ(Controller().VOK_State, VOK_OPEN);
  EXPECT_EQ(Control_Log(), QStringList{"Firmware version: 2.3"});
  EXPECT_EQ(Inflow_S0()->value(), 80);  // the board's S0 duty of 20 %
  EXPECT_EQ(Tab().Inflow[0].Value->text(), "20%");
  EXPECT_EQ(Tab().Edit5->text(), "2000");
  EXPECT_TRUE(Form->Param_Changed);  // the first refresh moved the sliders: the set goes back once
  EXPECT_FALSE(Form->Config_Not_Written);
  Tick();
  EXPECT_FALSE(Form->Param_Changed);

  Inflow_S0()->setValue(50);  // dragged to 50 %
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 200);
  Tick();
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 500);
  EXPECT_EQ(Stored_Setting(DUTY_IN_S0), 200);

  Tab().Button10->click();  // "Write Config"
  Tick();
  EXPECT_EQ(Control_Log().last(), "Save config to controller OK");
  EXPECT_EQ(Stored_Setting(DUTY_IN_S0), 500);

  Dialogs.File_Answers = {File("site.cnf")};
  Tab().Button9->click();  // "Save Config"
  EXPECT_EQ(Control_Log(), QStringList{"Save current config to file OK"});
  Inflow_S0()->setValue(70);
  Tick();
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 300);

  Dialogs.File_Answers = {File("site.cnf")};
  Tab().Button8->click();  // "Open Config"
  EXPECT_EQ(Control_Log(), (QStringList{"Load config from file OK", "read config OK"}));
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 500);
  EXPECT_EQ(Inflow_S0()->value(), 50);
  EXPECT_TRUE(Form->Config_Not_Written);  // the loaded values differ from what was stored
  EXPECT_EQ(Controller().CP_State, CP_ENABLED);
  Tick();
  EXPECT_EQ(Controller().VOK_State, VOK_OPEN);
  EXPECT_EQ(Control_Log(), (QStringList{"Load config from file OK", "read config OK"}));
}

TEST_F(TControl_Board, The_Live_Status_Follows_The_Board_Every_Tick) {
  Enter_Work_Mode();
  Board.Set_Inputs({.Speed = SIM_SPEED_S3, .Forced_Contact = true, .Bypass_Open = true, .Temperature = 95 - 40,
                    .Humidity = 50});
  Tick();
  EXPECT_EQ(Tab().Label97->text(), "Close");
  EXPECT_EQ(Tab().Label93->text(), "Open");
  EXPECT_EQ(Tab().Label91->text(), "fault");
  EXPECT_EQ(Tab().Label102->text(), "50%");
  EXPECT_EQ(Tab().Label95->text(), "5.00V");  // 1650 units
  // The forced speed, 100 %: 3600 rpm, give or take one tachometer count a second.
  EXPECT_NEAR(Tab().ProgressBar1->value(), 3600, 60);
  Tab().ComboBox1->setCurrentIndex(1);  // "2 pulse"
  Tick();
  EXPECT_NEAR(Tab().Label19->text().section(' ', 0, 0).toInt(), 1800, 30);
}

// Values the panel cannot show are quantised or clamped by their widgets and written back on the
// next tick; here they reach the board through the program's own write-back.
TEST_F(TControl_Board, Values_The_Panel_Cannot_Show_Go_Back_To_The_Board_As_Shown) {
  Enter_Work_Mode();
  Tick();
  Controller().Prop.PWM_IN_0 = 505;
  Controller().Prop.T_Off = 0;
  Controller().Prop.B_P_E = 0;
  Form->Param_Changed = true;
  Tick();  // written, read back, shown: the sliders move and write back what they show
  EXPECT_EQ(Inflow_S0()->value(), 50);
  EXPECT_EQ(Tab().Label99->text(), QString::fromUtf8("1°C"));
  EXPECT_FALSE(Tab().CheckBox6->isChecked());
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 505);
  Tick();
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 500);
  EXPECT_EQ(Board_Setting(T_OFF), 1);
  Controller().Prop.B_P_E = 2;
  Form->Param_Changed = true;
  Tick();
  EXPECT_TRUE(Tab().CheckBox6->isChecked());
  Tick();
  EXPECT_EQ(Board_Setting(BYPASS_FITTED), 1);
  Tick();
  EXPECT_FALSE(Form->Param_Changed);  // settled: nothing left to write
}

TEST_F(TControl_Board, The_Filter_Alarm_Reaches_The_Board_Only_With_Enter) {
  Enter_Work_Mode();
  QApplication::setActiveWindow(Form.get());
  Tab().Edit5->setFocus(Qt::MouseFocusReason);
  Tab().Edit5->selectAll();
  QTest::keyClicks(Tab().Edit5, "150");
  Tick();  // refreshes leave the box alone while the user types
  EXPECT_EQ(Tab().Edit5->text(), "150");
  EXPECT_EQ(Board_Setting(FILTER_ALARM), 12000);
  QTest::keyClick(Tab().Edit5, Qt::Key_Return);
  Tick();
  EXPECT_EQ(Board_Setting(FILTER_ALARM), 900);

  Tab().Edit5->setFocus(Qt::MouseFocusReason);
  QTest::keyClicks(Tab().Edit5, "7");
  QTest::keyClick(Tab().Edit5, Qt::Key_Escape);
  EXPECT_EQ(Tab().Edit5->text(), "150");
  Tick();
  EXPECT_EQ(Board_Setting(FILTER_ALARM), 900);
}

TEST_F(TControl_Board, The_Filter_Reset_Clears_The_Boards_Running_Time_Once) {
  Enter_Work_Mode();
  Controller().Prop.Time = 600;
  Form->Param_Changed = true;
  Tick();
  EXPECT_EQ(Tab().Label89->text(), "100h ");
  Tab().Button14->click();
  Tab().Button14->click();
  Tick();
  EXPECT_EQ(Board_Setting(FILTER_TIME), 0);
  EXPECT_EQ(Tab().Label89->text(), "0h ");
  EXPECT_FALSE(Controller().ResTime);
  const auto sent = Board.Wire_Log(SIM_TO_BOARD);
  const std::vector<std::uint8_t> reset = {0xFF, 0x00, 84, 0, 0};
  EXPECT_EQ(std::count(sent.begin(), sent.end(), 84), 1);
  EXPECT_NE(std::search(sent.begin(), sent.end(), reset.begin(), reset.end()), sent.end());
}

// The edit is written to the board before the store command, so the stored settings hold it.
TEST_F(TControl_Board, An_Edit_Right_Before_Write_Config_Is_Stored_Too) {
  Enter_Work_Mode();
  Tick();
  Inflow_S0()->setValue(40);
  Tab().Button10->click();
  Tick();
  EXPECT_EQ(Stored_Setting(DUTY_IN_S0), 600);
  EXPECT_FALSE(Form->Param_Changed);
  EXPECT_FALSE(Form->Config_Not_Written);
}

// Coming back from the Demo page, the panel goes on following the board.
TEST_F(TControl_Board, Work_Mode_Goes_On_After_A_Visit_To_The_Demo_Page) {
  Enter_Work_Mode();
  Select_Page(2);
  Tick();
  Select_Page(1);
  Tick();
  Inflow_S0()->setValue(10);
  Tick();
  EXPECT_EQ(Board_Setting(DUTY_IN_S0), 900);
}

TEST_F(TControl_Board, Hot_Keys_Act_On_The_Page_Shown) {
  Enter_Work_Mode();
  Tick();
  Inflow_S0()->setValue(60);
  Select_Page(2);  // "Demo": the link stays open, but Ctrl+W does not store
  Tick();
  Form->WMHotKey(2);
  Tick();
  EXPECT_EQ(Stored_Setting(DUTY_IN_S0), 200);
  Select_Page(1);
  Tick();
  Form->WMHotKey(2);  // Ctrl+W
  Tick();
  EXPECT_EQ(Stored_Setting(DUTY_IN_S0), 400);
  EXPECT_EQ(Control_Log().last(), "Save config to controller OK");
  Select_Page(0);  // "Program Mode": no hot key does anything
  Form->WMHotKey(3);
  EXPECT_FALSE(Controller().ResTime);
}

TEST_F(TControl_Board, Open_Config_Of_A_Short_File_Sends_Nothing_And_Keeps_The_Record) {
  Enter_Work_Mode();
  Tick();
  std::ofstream(File("short.cnf").toStdString(), std::ios::binary) << std::string(131, '\0');
  const TVOK_Prop before = Controller().Prop;
  Board.Clear_Wire_Log();
  Dialogs.File_Answers = {File("short.cnf")};
  Tab().Button8->click();
  EXPECT_EQ(Dialogs.Errors, QStringList{"Cannot read the configuration file " + File("short.cnf") +
                                        ": Read beyond end of file."});
  EXPECT_TRUE(Control_Log().isEmpty());
  EXPECT_TRUE(Board.Wire_Log(SIM_TO_BOARD).empty());
  EXPECT_EQ(Controller().Prop, before);
  EXPECT_EQ(Controller().CP_State, CP_OPEN);
  Tick();  // the supervisor is not blocked
  EXPECT_EQ(Controller().VOK_State, VOK_OPEN);
  EXPECT_TRUE(Control_Log().isEmpty());
}

// Only the low 16 bits would reach the controller: the file is refused, naming the setting, and
// nothing is sent.
TEST_F(TControl_Board, Open_Config_Refuses_A_Setting_The_Controller_Cannot_Hold) {
  Enter_Work_Mode();
  Tick();
  const TVOK_Prop shown = Controller().Prop;
  TVOK_Prop file = shown;
  file.PWM_IN_0 = 0x10000 + 450;
  Write_Config_File(File("wide.cnf").toStdString(), file);
  Dialogs.File_Answers = {File("wide.cnf")};
  Board.Clear_Wire_Log();
  Tab().Button8->click();
  EXPECT_EQ(Control_Log(), (QStringList{"Error load config from file",
                                        "PWM_IN_0 = 65986 does not fit the controller's 0 to 65535"}));
  EXPECT_TRUE(Board.Wire_Log(SIM_TO_BOARD).empty());
  EXPECT_EQ(Controller().Prop, shown);
}

TEST_F(TControl_Board, Open_Config_Reports_Where_It_Failed) {
  Enter_Work_Mode();
  Tick();
  Write_Config_File(File("a.cnf").toStdString(), Controller().Prop);
  Board.Set_Silent(true);  // writes get through unanswered; the read back fails, so nothing says OK
  Dialogs.File_Answers = {File("a.cnf")};
  Tab().Button8->click();
  EXPECT_EQ(Control_Log(), (QStringList{"Error read config"}));
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);

  Board.Unplug_At(Clock.Now());
  Dialogs.File_Answers = {File("a.cnf")};
  Tab().Button8->click();
  EXPECT_EQ(Control_Log(), QStringList{"Error connection"});
  EXPECT_EQ(Controller().CP_State, CP_CLOSE);
}
