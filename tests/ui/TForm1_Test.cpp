#include "support/TWindow_Fixture.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>

#include <algorithm>

using namespace std::chrono_literals;

namespace {
class TMain_Window : public TWindow_Fixture {};
}  // namespace

TEST_F(TMain_Window, Shows_Its_Frame_As_Laid_Out) {
  EXPECT_EQ(Form->windowTitle(), "Yeli Service edition");
  EXPECT_EQ(Form->centralWidget()->size(), QSize(1185, 355));
  EXPECT_EQ(Form->PageControl1->count(), 3);
  EXPECT_EQ(Form->PageControl1->tabText(0), "Program Mode");
  EXPECT_EQ(Form->PageControl1->tabText(1), "Control Mode");
  EXPECT_EQ(Form->PageControl1->tabText(2), "Demo");
  EXPECT_EQ(Form->PageControl1->currentWidget(), Form->TabSheet1);
  EXPECT_EQ(Widget<QLabel>("SW_Label")->text(), "Software version:3.9");
  EXPECT_FALSE(Widget<QPushButton>("Button1")->isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("Button2")->isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("Button3")->isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("Button4")->isVisible());
}

TEST_F(TMain_Window, Has_Five_Timers_Of_Which_The_Supervisor_And_The_Demo_Run) {
  const std::tuple<const char*, int, bool> timers[] = {
      {"Timer1", 1000, true}, {"Timer3", 100, false}, {"Timer4", 4000, false}, {"Timer5", 800, false},
      {"Timer6", 400, true}};
  for (auto [name, interval, enabled] : timers) {
    SCOPED_TRACE(name);
    auto* timer = Form->findChild<TTimer*>(name);
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->Interval(), interval);
    EXPECT_EQ(timer->Enabled(), enabled);
  }
}

TEST_F(TMain_Window, Logs_Are_Read_Only_Disabled_And_Without_Scroll_Bars) {
  for (const char* name : {"Memo1", "Memo2"}) {
    SCOPED_TRACE(name);
    auto* memo = Widget<QPlainTextEdit>(name);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_FALSE(memo->isEnabled());
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo->font().pixelSize(), 15);
  }
}

TEST_F(TMain_Window, Help_Items_Open_The_Documents_Beside_The_Program) {
  for (const char* item : {"pdf1", "docx1", "html1"}) Widget<QAction>(item)->trigger();
  EXPECT_EQ(Desktop.Opened, (std::vector<std::filesystem::path>{"/opt/yeli/Help/Yeli_Help.pdf",
                                                                 "/opt/yeli/Help/Yeli_Help.docx",
                                                                 "/opt/yeli/Help/Yeli_Help.mht"}));
}

TEST_F(TMain_Window, An_Exception_From_A_Handler_Shows_The_Error_Box_And_The_Program_Goes_On) {
  Desktop.Fail = true;
  Widget<QAction>("pdf1")->trigger();
  EXPECT_EQ(Dialogs.Errors, QStringList{"No application is registered for Yeli_Help.pdf."});
  Desktop.Fail = false;
  Widget<QAction>("docx1")->trigger();
  EXPECT_EQ(Desktop.Opened.size(), 1u);
}

TEST_F(TMain_Window, Closes_Without_A_Question_When_Everything_Was_Written) {
  EXPECT_TRUE(Form->close());
  EXPECT_TRUE(Dialogs.Questions.isEmpty());
}

TEST_F(TMain_Window, Asks_Before_Leaving_Unwritten_Settings) {
  Form->Config_Not_Written = true;
  Form->Control_Log.Add("kept");
  Dialogs.Yes_No_Answers = {false, true};

  EXPECT_FALSE(Form->close());
  EXPECT_EQ(Dialogs.Questions, QStringList{"Do you really want to exit the program without Write Config?"});
  EXPECT_EQ(Form->PageControl1->currentWidget(), Form->TabSheet2);
  EXPECT_EQ(Control_Log(), QStringList{"kept"});  // showing the page is no user's selection

  EXPECT_TRUE(Form->close());
}

TEST_F(TMain_Window, A_Page_Selected_By_The_User_Clears_The_Control_Log) {
  Form->Control_Log.Add("old");
  Form->PageControl1->tabBar()->setCurrentIndex(2);
  EXPECT_TRUE(Control_Log().isEmpty());
}

TEST_F(TMain_Window, Hot_Keys_Are_The_Four_Control_Combinations_For_The_Whole_Application) {
  const char* keys[] = {"Ctrl+S", "Ctrl+O", "Ctrl+W", "Ctrl+R"};
  for (int id = 0; id < 4; ++id) {
    auto* shortcut = Widget<QShortcut>(qPrintable(QString("HotKey%1").arg(id)));
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->key(), QKeySequence(keys[id]));
    EXPECT_EQ(shortcut->context(), Qt::ApplicationShortcut);
  }
}

TEST_F(TMain_Window, Searches_Every_Second_While_No_Bridge_Is_Attached) {
  Run_For(999ms);
  EXPECT_TRUE(Program_Log().isEmpty());
  Run_For(1ms);
  EXPECT_EQ(Program_Log(), (QStringList{"Search", "...", "Device not found"}));
  Run_For(2000ms);
  EXPECT_EQ(Program_Log(), (QStringList{"Search", "...", "Device not found"}));
  EXPECT_EQ(std::count(Manufacturing.Calls.begin(), Manufacturing.Calls.end(), "count"), 3);
  EXPECT_FALSE(Widget<QPushButton>("Button1")->isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("Button2")->isEnabled());
  EXPECT_TRUE(Widget<QPushButton>("Button4")->isHidden());
}

TEST_F(TMain_Window, Change_Queues_A_Switch_And_Puts_Off_The_Next_Tick) {
  Run_For(500ms);
  Widget<QPushButton>("Button1")->setEnabled(true);
  Widget<QPushButton>("Button1")->click();
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_SWITCH_DRIVER);
  EXPECT_FALSE(Widget<QPushButton>("Button2")->isEnabled());
  Run_For(999ms);
  EXPECT_TRUE(Program_Log().isEmpty());  // the tick due at 1000 ms was put off to 1500 ms
  Run_For(1ms);
  EXPECT_FALSE(Program_Log().isEmpty());
}

TEST_F(TMain_Window, Selecting_A_Page_Asks_The_Supervisor_To_Enter_Or_Leave_Work_Mode) {
  Form->PageControl1->tabBar()->setCurrentIndex(1);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_WORK_MODE);
  Form->PageControl1->tabBar()->setCurrentIndex(2);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_WORK_MODE);  // the Demo page asks for nothing
  Form->PageControl1->tabBar()->setCurrentIndex(0);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_FIRM_MODE);
  Form->Show_Page(Form->TabSheet2);
  EXPECT_EQ(Form->Controller->VOK_Action, VOK_TO_FIRM_MODE);
}
