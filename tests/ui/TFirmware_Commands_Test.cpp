// The firmware commands in the real window against the virtual board: choosing and writing a file,
// the default firmware from the Restore folder, and what each refusal leaves on the board.
#include "support/TBoard_Window_Fixture.h"
#include "support/THex_Text.h"
#include "support/TTest_Application.h"
#include "support/TTest_Folder.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <fstream>

using namespace std::chrono_literals;
using TBytes = std::vector<std::uint8_t>;

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::uint32_t FLASH_SIZE = 128 * 1024;


// Sets an environment variable for as long as it lives.
class TScoped_Variable {
public:
  TScoped_Variable(const char* name, const QByteArray& value)
      : Name_(name), Was_Set_(qEnvironmentVariableIsSet(name)), Old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~TScoped_Variable() {
    if (Was_Set_) qputenv(Name_, Old_);
    else qunsetenv(Name_);
  }

private:
  const char* Name_;
  bool Was_Set_;
  QByteArray Old_;
};

class TFirmware_Page : public TBoard_Window_Fixture {
protected:
  explicit TFirmware_Page(TSim_Factory_State state = SIM_FACTORY_USBXPRESS) : TBoard_Window_Fixture(state) {
    std::filesystem::create_directories(Temp_);
  }

  // The supervisor's first tick finds the board and identifies it in its bootloader.
  void Identify() {
    Run_For(3s);
    ASSERT_EQ(Form->Controller->VOK_State, VOK_CHECK_USB_CONN);
    ASSERT_TRUE(Button("Button2")->isEnabled());
  }
  QPushButton* Button(const char* name) { return Form->findChild<QPushButton*>(name); }
  std::string Write_File(const char* name, const std::string& text) {
    const std::filesystem::path path = Folder_ / name;
    std::ofstream(path) << text;
    return path.string();
  }
  void Choose(const std::string& path) {
    Dialogs.File_Answers.push_back(QString::fromStdString(path));
    Button("Button2")->click();
  }
  // The update runs on the supervisor's next tick, a second after the request.
  void Run_Update() { Run_For(1s); }
  // The program log from the update's first line on.
  QStringList Update_Lines() const {
    const QStringList log = Program_Log();
    for (const char* first : {"Chip erase OK", "Chip erase fail", "Firmware file error", "Error connection"})
      if (const qsizetype at = log.indexOf(first); at >= 0) return log.mid(at);
    return {};
  }
  TBytes Flash() { return Board.Flash(FLASH_START, FLASH_SIZE); }
  QStringList Temp_Folders() const { return QDir(QString::fromStdString(Temp_.string())).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }

  const TTest_Folder Folder_;
  const std::filesystem::path Temp_ = Folder_ / "tmp";  // the user's temporary folder
  TScoped_Variable Tmpdir_{"TMPDIR", QByteArray::fromStdString(Temp_.string())};
};

class TOld_Firmware_Page : public TFirmware_Page {
protected:
  TOld_Firmware_Page() : TFirmware_Page(SIM_FACTORY_OLD) { Environment.Restore_Folder = SIM_RESTORE_FOLDER; }
};

const QStringList SUCCESS_TAIL = {"Verify firmware OK", "Update firmware finish", "Chip disconnect"};

bool Only_Dots(const QString& line) { return !line.isEmpty() && line.count('.') == line.size(); }
}  // namespace

TEST_F(TFirmware_Page, Writes_The_Chosen_File_And_The_Board_Then_Reports_Its_Version) {
  const TBytes image = Application_Of_Size(2, 5, 24 * 1024);
  const std::string file = Write_File("app25.hex", Data_Records(FLASH_START, image, 32) + END);
  Identify();
  Choose(file);
  EXPECT_EQ(Program_Log().last().toStdString(), file);
  EXPECT_TRUE(Button("Button3")->isEnabled());

  auto* bar = Form->findChild<QProgressBar*>("ProgressBar5");
  EXPECT_EQ(bar->geometry(), QRect(1088, 162, 86, 17));
  EXPECT_FALSE(bar->isVisible());
  std::vector<int> shown;  // the values the bar showed, each while visible
  QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) {
    if (bar->isVisible()) shown.push_back(value);
  });
  Button("Button3")->click();
  Run_Update();

  const QStringList lines = Update_Lines();
  ASSERT_EQ(lines.size(), 6) << lines.join('|').toStdString();
  EXPECT_EQ(lines.mid(0, 2), (QStringList{"Chip erase OK", "Update firmware"}));
  EXPECT_TRUE(Only_Dots(lines[2])) << lines[2].toStdString();
  EXPECT_EQ(lines.mid(3), SUCCESS_TAIL);
  EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_GT(shown.back(), bar->maximum() * 3 / 4);
  EXPECT_FALSE(bar->isVisible());
  EXPECT_FALSE(Button("Button2")->isEnabled());
  EXPECT_FALSE(Button("Button3")->isEnabled());
  EXPECT_EQ(Form->Controller->VOK_State, VOK_CLOSE);
  EXPECT_TRUE(Form->isEnabled());

  Run_For(4s);  // the supervisor searches and identifies the controller again
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.5"));
  EXPECT_TRUE(Button("Button2")->isEnabled());
  EXPECT_FALSE(Button("Button3")->isEnabled());  // re-armed only by choosing a file again
}

// The window answers the desktop while it waits on the worker, but runs none of its own timers, and
// a close request that comes then waits for the update's end, to be handled as any other.
TEST_F(TFirmware_Page, A_Close_Request_During_The_Update_Waits_For_Its_End_And_No_Timer_Ticks_Meanwhile) {
  const std::string file = Write_File("app25.hex", Data_Records(FLASH_START, Application_Of_Size(2, 5, 24 * 1024), 32) + END);
  Identify();
  Choose(file);
  std::vector<TDuration> demo_ticks;
  Form->Timer6->OnTimer = [this, &demo_ticks, step = Form->Timer6->OnTimer] {
    demo_ticks.push_back(Clock.Now());
    step();
  };
  TDuration started{0}, ended{0};
  QStringList log_at_close;
  Form->Timer1->OnTimer = [&, step = Form->Timer1->OnTimer] {
    started = Clock.Now();
    QCoreApplication::postEvent(Form.get(), new QCloseEvent);  // as the window manager's close arrives
    step();
    ended = Clock.Now();
  };
  QObject::connect(Form->Program.Memo1, &QPlainTextEdit::textChanged, [&] {
    if (!Form->isVisible() && log_at_close.isEmpty()) log_at_close = Program_Log();
  });
  Button("Button3")->click();
  Run_For(1s);

  ASSERT_GT(ended - started, 3s);
  EXPECT_TRUE(Program_Log().contains("Update firmware finish")) << Program_Log().join('|').toStdString();
  EXPECT_FALSE(Form->isVisible());  // closed once the update had ended, with no question to ask
  EXPECT_TRUE(log_at_close.isEmpty());  // nothing was logged after the close
  for (const TDuration tick : demo_ticks) EXPECT_FALSE(tick > started && tick < ended);
}

TEST_F(TFirmware_Page, Cancelling_The_File_Dialog_Changes_Nothing) {
  Identify();
  const QStringList before = Program_Log();
  Dialogs.File_Answers.push_back("");
  Button("Button2")->click();
  EXPECT_EQ(Program_Log(), before);
  EXPECT_FALSE(Button("Button3")->isEnabled());
  EXPECT_EQ(Dialogs.File_Dialogs.at(0).Filter, "Firmwire files |*.hex;  *.dfc;  |All files|*.*");
}

TEST_F(TFirmware_Page, A_Damaged_File_Is_Refused_Before_The_Erase_And_The_Controller_Found_Again) {
  std::string text = Data_Records(FLASH_START, Application_Image(2, 6), 16) + END;
  text[text.find('\n', text.size() / 2) - 1] ^= 1;  // the checksum of a record in the middle
  const std::string file = Write_File("damaged.hex", text);
  Identify();
  const TBytes before = Flash();
  Choose(file);
  Button("Button3")->click();
  Run_Update();

  const QStringList lines = Update_Lines();
  ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
  EXPECT_EQ(lines[0], "Firmware file error");
  EXPECT_TRUE(lines[1].endsWith(": checksum mismatch")) << lines[1].toStdString();
  EXPECT_EQ(lines[2], "Chip disconnect");
  EXPECT_EQ(Flash(), before);
  Run_For(4s);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.3"));
  EXPECT_TRUE(Button("Button2")->isEnabled());
}

TEST_F(TOld_Firmware_Page, Default_Firmware_Is_Extracted_Privately_Written_And_Deleted) {
  Identify();
  ASSERT_TRUE(Button("Button4")->isVisible());
  Button("Button4")->click();
  const QStringList folders = Temp_Folders();
  ASSERT_EQ(folders.size(), 1);
  const std::filesystem::path folder = Temp_ / folders[0].toStdString();
  EXPECT_EQ(std::filesystem::status(folder).permissions() & std::filesystem::perms::all, std::filesystem::perms::owner_all);
  EXPECT_TRUE(std::filesystem::is_regular_file(folder / "default24.dfc"));
  Run_Update();

  EXPECT_EQ(Update_Lines().mid(3), SUCCESS_TAIL);
  EXPECT_TRUE(Temp_Folders().isEmpty());
  Run_For(4s);
  EXPECT_TRUE(Program_Log().contains("Firmware version: 2.4"));
  EXPECT_FALSE(Button("Button4")->isVisible());
}

TEST_F(TOld_Firmware_Page, Without_An_Extracted_Image_No_Update_Is_Requested) {
  const std::filesystem::path restore = Folder_ / "Restore";
  std::filesystem::create_directories(restore);
  struct TCase {
    const char* Name;
    std::function<void()> Prepare;  // the Restore folder as this case has it
    bool Archiver_On_Path;
    const char* Reason;             // how the second line begins
  };
  const TCase cases[] = {
      {"no archive", [] {}, true, "No archive "},
      {"no archiver",
       [&] {
         std::filesystem::copy_file(std::filesystem::path(SIM_RESTORE_FOLDER) / "default.7z", restore / "default.7z");
       },
       false, "No archiver: "},
      {"broken archive", [&] { std::ofstream(restore / "default.7z") << "not an archive"; }, true,
       "The archiver failed (exit code "},
  };
  Identify();
  const TBytes before = Flash();
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    std::filesystem::remove(restore / "default.7z");
    test.Prepare();
    Environment.Restore_Folder = restore;
    TScoped_Variable path("PATH", test.Archiver_On_Path ? qgetenv("PATH") : "");
    Button("Button4")->click();
    const QStringList log = Program_Log();
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log[log.size() - 2], "Default firmware extract error");
    EXPECT_TRUE(log.last().startsWith(test.Reason)) << log.last().toStdString();
    EXPECT_EQ(Form->Controller->VOK_Action, VOK_NONE);
    EXPECT_TRUE(Temp_Folders().isEmpty());
  }
  Run_For(2s);
  EXPECT_TRUE(Update_Lines().isEmpty());
  EXPECT_EQ(Flash(), before);
}

TEST_F(TOld_Firmware_Page, Write_After_Default_Firmware_Writes_The_Chosen_File) {
  const TBytes image = Application_Of_Size(2, 5, 20 * 1024);
  const std::string file = Write_File("app25.hex", Data_Records(FLASH_START, image, 16) + END);
  Identify();
  Button("Button4")->click();
  ASSERT_EQ(Temp_Folders().size(), 1);
  Choose(file);
  Button("Button3")->click();
  EXPECT_TRUE(Temp_Folders().isEmpty());
  Run_Update();
  EXPECT_EQ(Update_Lines().mid(3), SUCCESS_TAIL);
  EXPECT_EQ(Board.Flash(FLASH_START, static_cast<std::uint32_t>(image.size())), image);
}
