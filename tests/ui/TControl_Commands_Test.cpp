#include "TControl_Fixture.h"

#include "controller/Config_File.h"

#include <QShortcut>
#include <QTabBar>
#include <QTemporaryDir>

#include <fstream>

namespace {
// The commands of the Control Mode page with no controller attached.
class TConfig_Commands_Page : public TControl_Fixture {
protected:
  QString File(const char* name) const { return Folder.filePath(name); }
  static TVOK_Prop Read(const QString& path) {
    TVOK_Prop prop;
    Read_Config_File(path.toStdString(), prop);
    return prop;
  }
  static void Write_Bytes(const QString& path, std::size_t count) {
    std::ofstream(path.toStdString(), std::ios::binary) << std::string(count, '\x07');
  }

  QTemporaryDir Folder;
};
}  // namespace

// No controller is connected: the store waits for one, the pending request for work mode stays, and
// the exit question stays armed, since nothing was stored.
TEST_F(TConfig_Commands_Page, Write_Config_Outside_Work_Mode_Waits_And_Keeps_The_Exit_Question_Armed) {
  Form->Config_Not_Written = true;
  Form->Controller->VOK_Action = VOK_TO_WORK_MODE;
  Form->Control_Log.Add("kept");
  Tab().Button10->click();
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_WORK_MODE);
  EXPECT_TRUE(Form->Config_Not_Written);
  EXPECT_EQ(Control_Log(),
            (QStringList{"kept", "Write Config: the settings are stored once the controller is connected"}));
  Dialogs.Yes_No_Answers = {false};
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Dialogs.Questions.size(), 1);
}

TEST_F(TConfig_Commands_Page, The_Filter_Reset_Is_Sent_With_The_Next_Write_Back) {
  Tab().Button14->click();
  Tab().Button14->click();
  EXPECT_TRUE(Form->Controller->ResTime);
  EXPECT_EQ(Flags(), RAISED);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_NONE);
}

TEST_F(TConfig_Commands_Page, Save_Config_Writes_The_Record_With_The_Edits_Not_Yet_Sent) {
  Write_Bytes(File("a.cnf"), 200);  // replaced without a question
  Form->Control_Log.Add("old");
  Tab().Inflow[1].Slider->setValue(30);
  Dialogs.File_Answers = {File("a.cnf")};
  Tab().Button9->click();
  ASSERT_EQ(Dialogs.File_Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs.File_Dialogs[0].Title, "Save");
  EXPECT_EQ(Dialogs.File_Dialogs[0].Filter, "*.cnf|*.cnf");
  EXPECT_EQ(Dialogs.File_Dialogs[0].Default_Suffix, ".cnf");
  EXPECT_EQ(Control_Log(), QStringList{"Save current config to file OK"});
  EXPECT_EQ(QFileInfo(File("a.cnf")).size(), 132);
  TVOK_Prop expected;
  expected.PWM_IN_1 = 700;
  EXPECT_EQ(Read(File("a.cnf")), expected);
  EXPECT_TRUE(Dialogs.Questions.isEmpty());
}

TEST_F(TConfig_Commands_Page, Cancelling_Save_Config_Leaves_Everything_As_It_Was) {
  Form->Control_Log.Add("kept");
  Dialogs.File_Answers = {""};
  Tab().Button9->click();
  EXPECT_EQ(Control_Log(), QStringList{"kept"});
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(TConfig_Commands_Page, A_File_That_Cannot_Be_Written_Shows_The_Error_Box_And_No_Log_Line) {
  const QString path = File("missing/a.cnf");
  Dialogs.File_Answers = {path};
  Tab().Button9->click();
  EXPECT_EQ(Dialogs.Errors,
            QStringList{"Cannot write the configuration file " + path + ": No such file or directory."});
  EXPECT_TRUE(Control_Log().isEmpty());
}

TEST_F(TConfig_Commands_Page, Open_Config_Without_A_Controller_Logs_Error_Connection_And_Reads_No_File) {
  Write_Bytes(File("short.cnf"), 131);  // would fail, were it read
  Form->Control_Log.Add("old");
  Refresh(As_Started());
  Dialogs.File_Answers = {File("short.cnf")};
  Tab().Button8->click();
  ASSERT_EQ(Dialogs.File_Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs.File_Dialogs[0].Title, "Open...");
  EXPECT_EQ(Dialogs.File_Dialogs[0].Filter, "*.cnf|*.cnf");
  EXPECT_EQ(Control_Log(), QStringList{"Error connection"});
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
  EXPECT_EQ(Form->Controller->CP_State, CP_CLOSE);
  EXPECT_EQ(Prop(), As_Started());
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_NONE);
}

TEST_F(TConfig_Commands_Page, Cancelling_Open_Config_Has_Cleared_The_Log) {
  Form->Control_Log.Add("old");
  Dialogs.File_Answers = {""};
  Tab().Button8->click();
  EXPECT_TRUE(Control_Log().isEmpty());
  EXPECT_EQ(Form->Controller->CP_State, CP_CLOSE);
}

TEST_F(TConfig_Commands_Page, Hot_Keys_Run_The_Commands_Of_The_Control_Mode_Page) {
  Dialogs.File_Answers = {"", ""};
  Form->WMHotKey(0);
  Form->WMHotKey(1);
  ASSERT_EQ(Dialogs.File_Dialogs.size(), 2u);
  EXPECT_EQ(Dialogs.File_Dialogs[0].Title, "Save");
  EXPECT_EQ(Dialogs.File_Dialogs[1].Title, "Open...");
  Form->WMHotKey(3);
  EXPECT_TRUE(Form->Controller->ResTime);
  emit Widget<QShortcut>("HotKey2")->activated();  // Ctrl+W
  EXPECT_EQ(Control_Log().back(), "Write Config: the settings are stored once the controller is connected");
  Form->WMHotKey(4);  // no such hot key
}

TEST_F(TConfig_Commands_Page, Hot_Keys_Do_Nothing_Of_The_Control_Mode_Page_Elsewhere) {
  Form->Show_Page(Form->TabSheet1);
  for (int id = 0; id < 4; ++id) Form->WMHotKey(id);
  Form->Show_Page(Form->TabSheet3);
  Form->WMHotKey(2);
  Form->WMHotKey(3);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_NONE);
  EXPECT_FALSE(Form->Controller->ResTime);
  EXPECT_EQ(Flags(), LOWERED);
  EXPECT_TRUE(Dialogs.File_Dialogs.empty());
}

TEST_F(TConfig_Commands_Page, Refusing_To_Leave_Puts_The_Focus_On_Write_Config) {
  Form->Show_Page(Form->TabSheet1);
  Tab().Button14->click();
  Dialogs.Yes_No_Answers = {false};
  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Form->PageControl1->currentWidget(), Form->TabSheet2);
  EXPECT_EQ(QApplication::focusWidget(), Tab().Button10);
}
