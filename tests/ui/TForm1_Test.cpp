#include "support/TTest_Folder.h"
#include "support/TWindow_Fixture.h"
#include "ui/Data_Folders.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>

#include <algorithm>
#include <fstream>

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

// An installed program: <prefix>/bin with the documents in <prefix>/share/yeli-service/Help, and
// one document beside the executable, which comes first.
class THelp_Menu : public TMain_Window {
protected:
  THelp_Menu() {
    Environment.Program_Folder = Prefix / "bin";
    for (const auto& document : {Prefix.Path() / "bin/Help/Yeli_Help.pdf", Installed / "Yeli_Help.pdf",
                                 Installed / "Yeli_Help.mht"}) {
      std::filesystem::create_directories(document.parent_path());
      std::ofstream(document) << "document";
    }
  }
  TTest_Folder Prefix;
  const std::filesystem::path Installed = Prefix.Path() / "share/yeli-service/Help";
};

TEST_F(THelp_Menu, Opens_The_Document_Beside_The_Program_Else_The_Installed_One) {
  Widget<QAction>("pdf1")->trigger();
  Widget<QAction>("html1")->trigger();
  EXPECT_EQ(Desktop.Opened,
            (std::vector<std::filesystem::path>{Prefix.Path() / "bin/Help/Yeli_Help.pdf", Installed / "Yeli_Help.mht"}));
  EXPECT_TRUE(Dialogs.Errors.isEmpty());
}

TEST_F(THelp_Menu, A_Missing_Document_Or_Viewer_Is_Said_In_A_Message_Box) {
  Widget<QAction>("docx1")->trigger();
  EXPECT_TRUE(Desktop.Opened.empty());
  ASSERT_EQ(Dialogs.Errors.size(), 1);
  EXPECT_EQ(Dialogs.Errors[0], QString("The help document Yeli_Help.docx is not installed: it is neither in %1 nor in %2.")
                                   .arg(QString::fromStdString((Prefix.Path() / "bin/Help").string()),
                                        QString::fromStdString(Installed.string())));

  Desktop.Viewer = false;
  Widget<QAction>("html1")->trigger();
  ASSERT_EQ(Dialogs.Errors.size(), 2);
  EXPECT_TRUE(Dialogs.Errors[1].startsWith(
      QString("No program to show %1 could be started.").arg(QString::fromStdString((Installed / "Yeli_Help.mht").string()))));
}

TEST(Data_Folder, Is_The_One_Beside_The_Program_Else_The_Installed_One) {
  TTest_Folder prefix;
  const std::filesystem::path bin = prefix.Path() / "bin";
  const std::filesystem::path installed = prefix.Path() / "share/yeli-service/Restore";
  EXPECT_EQ(Data_Folder(bin, "Restore"), installed);  // neither exists: the place it belongs
  std::filesystem::create_directories(installed);
  EXPECT_EQ(Data_Folder(bin, "Restore"), installed);
  std::filesystem::create_directories(bin / "Restore");
  EXPECT_EQ(Data_Folder(bin, "Restore"), bin / "Restore");
}

TEST_F(THelp_Menu, An_Exception_From_A_Handler_Shows_The_Error_Box_And_The_Program_Goes_On) {
  Desktop.Fail = true;
  Widget<QAction>("pdf1")->trigger();
  EXPECT_EQ(Dialogs.Errors, QStringList{"No application is registered for Yeli_Help.pdf."});
  Desktop.Fail = false;
  Widget<QAction>("html1")->trigger();
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
