#include "ui/TForm1.h"

#include "controller/Controller_Session.h"
#include "ui/Data_Folders.h"
#include "ui/Error_Box.h"
#include "ui/Make_Widget.h"
#include "ui/Window_Fonts.h"

#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QShortcut>

#include <utility>

namespace {
constexpr int CLIENT_WIDTH = 1185;
constexpr int CLIENT_HEIGHT = 355;
constexpr const char* EXIT_QUESTION = "Do you really want to exit the program without Write Config?";
constexpr const char* PERMANENT_QUESTION =
    "This bridge is a CP2104: its product id can be written only once, so this switch of its driver mode can never "
    "be undone. Switch it anyway?";
constexpr const char* NOT_RESTARTED = "The controller could not be restarted into its application";

QWidget* Make_Page(QTabWidget* pages, const char* name, const char* caption) {
  auto* page = new QWidget;
  page->setObjectName(name);
  pages->addTab(page, caption);
  return page;
}
}  // namespace

TForm1::TForm1(TEnvironment& environment)
    : Environment(environment),
      PageControl1(Make_Widget<QTabWidget>(new QWidget(this), "PageControl1", {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT})),
      TabSheet1(Make_Page(PageControl1, "TabSheet1", "Program Mode")),
      TabSheet2(Make_Page(PageControl1, "TabSheet2", "Control Mode")),
      TabSheet3(Make_Page(PageControl1, "TabSheet3", "Demo")),
      // Reaching further left than drawn, and aligned to its right edge, so the text fits in wider fonts.
      SW_Label(Make_Widget<QLabel>(PageControl1->parentWidget(), "SW_Label", "SW_Label", {1064, 0, 119, 13})),
      Program(TabSheet1),
      Control(TabSheet2),
      Program_Log(*Program.Memo1, "program"),
      Control_Log(*Control.Memo2, "control"),
      Timer1(new TTimer(environment.Timers, this, "Timer1", 1000, true)),
      Timer3(new TTimer(environment.Timers, this, "Timer3", 100, false)),
      Timer4(new TTimer(environment.Timers, this, "Timer4", 4000, false)),
      Timer5(new TTimer(environment.Timers, this, "Timer5", 800, false)),
      Timer6(new TTimer(environment.Timers, this, "Timer6", 400, true)),
      Demo(TabSheet3, {*Timer3, *Timer4, *Timer5, environment.Dialogs, SaveDialog1, OpenDialog2, Guard()}) {
  setObjectName("Form1");
  setWindowTitle("Yeli Service edition");
  setFont(Window_Font());
  QWidget* client = PageControl1->parentWidget();
  client->setFixedSize(CLIENT_WIDTH, CLIENT_HEIGHT);
  setCentralWidget(client);
  SW_Label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  SW_Label->raise();
  Build_Menu();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  move(98, 219);

  Connect_Guarded(Guard(), PageControl1, &QTabWidget::currentChanged, this, [this] {
    if (!Showing_Page_From_Code_) PageControl1Change();
  });
  Connect_Guarded(Guard(), Program.Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  Connect_Guarded(Guard(), Program.Button2, &QPushButton::clicked, this, [this] { Firmware->Button2Click(); });
  Connect_Guarded(Guard(), Program.Button3, &QPushButton::clicked, this, [this] { Firmware->Button3Click(); });
  Connect_Guarded(Guard(), Program.Button4, &QPushButton::clicked, this, [this] { Firmware->Button4Click(); });
  Timer3->OnTimer = Guarded([this] { Demo.Timer3Timer(); });
  Timer4->OnTimer = Guarded([this] { Demo.Timer4Timer(); });
  Timer5->OnTimer = Guarded([this] { Demo.Timer5Timer(); });
  Timer6->OnTimer = Guarded([this] { Demo.Timer6Timer(); });
}

TForm1::~TForm1() = default;

std::function<void()> TForm1::Guarded(std::function<void()> handler) {
  return [this, handler = std::move(handler)] { Run_Guarded(Environment.Dialogs, handler); };
}

TGuard TForm1::Guard() {
  return [this](THandler handler) { return Guarded(std::move(handler)); };
}

void TForm1::Build_Menu() {
  auto* menu_bar = new QMenuBar(this);
  menu_bar->setObjectName("MainMenu1");
  QMenu* help = menu_bar->addMenu("Help");
  help->setObjectName("Help1");
  const std::pair<const char*, void (TForm1::*)()> items[] = {
      {".pdf", &TForm1::pdf1Click}, {".docx", &TForm1::docx1Click}, {".html", &TForm1::html1Click}};
  const char* names[] = {"pdf1", "docx1", "html1"};
  for (std::size_t i = 0; i < std::size(items); ++i) {
    QAction* action = help->addAction(items[i].first);
    action->setObjectName(names[i]);
    Connect_Guarded(Guard(), action, &QAction::triggered, this,
                    [this, handler = items[i].second] { (this->*handler)(); });
  }
  setMenuBar(menu_bar);
}

// Ctrl+S, Ctrl+O, Ctrl+W and Ctrl+R, ids 0 to 3. They act while one of the program's windows is
// active; a system-wide grab would take these keys away from every other program.
void TForm1::Register_Hot_Keys() {
  const char* keys[] = {"Ctrl+S", "Ctrl+O", "Ctrl+W", "Ctrl+R"};
  for (int id = 0; id < 4; ++id) {
    auto* shortcut = new QShortcut(QKeySequence(keys[id]), this);
    shortcut->setObjectName(QString("HotKey%1").arg(id));
    shortcut->setContext(Qt::ApplicationShortcut);
    Connect_Guarded(Guard(), shortcut, &QShortcut::activated, this, [this, id] { WMHotKey(id); });
  }
}

void TForm1::FormCreate() {
  Register_Hot_Keys();
  Program.Button4->hide();
  Controller = std::make_unique<TVOK_Yeli>(Environment.UsbXpress, Environment.Clock);
  const TGuard guard = Guard();
  const TPanel_Flags flags{Param_Changed, Config_Not_Written};
  // The panel starts at "1 pulse", one tachometer pulse per revolution.
  Panel = std::make_unique<TParameter_Panel>(Control, Controller->Prop, flags, guard);
  Config_Commands = std::make_unique<TConfig_Commands>(
      Control, *Controller, *Panel, Control_Log, TConfig_Dialogs{Environment.Dialogs, this, OpenDialog2, SaveDialog1},
      flags, [this](TVOKAction action) { Supervisor->Request(action); }, guard);
  Discovery = std::make_unique<TDevice_Discovery>(Environment.Manufacturing, *Controller, Environment.Clock,
                                                  Program_Log, [this] { Environment.Timers.Pump(); },
                                                  [this] { return Confirm_Permanent_Switch(); });
  Firmware = std::make_unique<TFirmware_Commands>(
      TFirmware_Window{this, Program, Program_Log, *Timer1, Environment.Dialogs, OpenDialog1, Environment.Clock,
                       [this] { Environment.Timers.Keep_Alive(); }, [this] { Close_After_Update(); },
                       [this](TVOKAction action) { Supervisor->Request(action); }},
      *Controller, Environment.Restore_Folder);
  Supervisor = std::make_unique<TLink_Supervisor>(*Controller, *Discovery, static_cast<TSupervisor_View&>(*this),
                                                  Program_Log, Control_Log,
                                                  [this] { Environment.Timers.Pump(); }, Param_Changed,
                                                  Config_Not_Written);
  Timer1->OnTimer = Guarded([this] { Supervisor->Timer1Timer(); });
  Param_Changed = false;
  Config_Not_Written = false;
  Controller->ResTime = false;
  Demo.FormCreate();
  SW_Label->setText("Software version:3.9");
}

// A close request that comes while an update writes or the archiver runs waits for its end; it is
// then handled as any other, once the step that ran it has returned to the message loop.
void TForm1::closeEvent(QCloseEvent* event) {
  if (Firmware && Firmware->Busy()) {
    Close_Held_ = true;
    event->ignore();
    return;
  }
  bool can_close = true;
  Run_Guarded(Environment.Dialogs, [&] { FormCloseQuery(can_close); });
  if (!can_close) return event->ignore();
  Leave_Controller_Running();
  event->accept();
}

void TForm1::Leave_Controller_Running() {
  if (!Controller) return;
  const TSequence_Stage stage = Leave_Running(*Controller);
  if (stage == STAGE_DONE) return;
  Program_Log.Add(NOT_RESTARTED);
  Log_Open_Failure(*Controller, stage, Program_Log);
}

bool TForm1::Confirm_Permanent_Switch() {
  if (!Permanent_Switch_Answer_) Permanent_Switch_Answer_ = Environment.Dialogs.Ask_Yes_No(this, PERMANENT_QUESTION);
  return *Permanent_Switch_Answer_;
}

void TForm1::Close_After_Update() {
  if (std::exchange(Close_Held_, false)) QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void TForm1::FormCloseQuery(bool& CanClose) {
  if (Config_Not_Written) CanClose = Environment.Dialogs.Ask_Yes_No(this, EXIT_QUESTION);
  if (!CanClose) {
    Show_Page(TabSheet2);
    Control.Button10->setFocus();
  }
}

void TForm1::Show_Page(QWidget* page) {
  Showing_Page_From_Code_ = true;
  PageControl1->setCurrentWidget(page);
  Showing_Page_From_Code_ = false;
}

// The supervisor carries the request out on its next tick.
void TForm1::PageControl1Change() {
  Control_Log.Clear();
  if (PageControl1->currentWidget() == TabSheet2) Supervisor->Request(VOK_TO_WORK_MODE);
  if (PageControl1->currentWidget() == TabSheet1) Supervisor->Request(VOK_TO_FIRM_MODE);
}

// Which way the switch goes is decided by the supervisor from the mode it finds the bridge in. The
// next tick comes one full interval later.
void TForm1::Button1Click() {
  Permanent_Switch_Answer_.reset();
  Program.Button1->setEnabled(false);
  Program.Button2->setEnabled(false);
  Program.Button4->hide();
  Supervisor->Request(VOK_TO_SWITCH_DRIVER);
  Timer1->Restart();
}

void TForm1::Enable_Change(bool enabled) { Program.Button1->setEnabled(enabled); }
void TForm1::Enable_Firmware_File(bool enabled) { Program.Button2->setEnabled(enabled); }
void TForm1::Show_Default_Firmware(bool shown) { Program.Button4->setVisible(shown); }
bool TForm1::Auto_Switch() const { return Program.CheckBox4->isChecked(); }
void TForm1::Enable_Window(bool enabled) { setEnabled(enabled); }
void TForm1::Enable_Supervisor_Timer(bool enabled) { Timer1->Set_Enabled(enabled); }

// The hot keys act on the page shown.
void TForm1::WMHotKey(int id) {
  if (PageControl1->currentWidget() == TabSheet2) return Config_Commands->Hot_Key(id);
  if (PageControl1->currentWidget() == TabSheet3) {
    if (id == 0) Demo.Button13Click();
    if (id == 1) Demo.Button12Click();
  }
}

void TForm1::pdf1Click() { Open_Help("Yeli_Help.pdf"); }
void TForm1::docx1Click() { Open_Help("Yeli_Help.docx"); }
void TForm1::html1Click() { Open_Help("Yeli_Help.mht"); }

// The document beside the program, else the installed one. A missing document or viewer is said in
// a message box: a menu item that does nothing would leave the user guessing.
void TForm1::Open_Help(const char* document) {
  const std::vector<std::filesystem::path> folders = Data_Folders(Environment.Program_Folder, "Help");
  for (const std::filesystem::path& folder : folders) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder / document, error)) continue;
    const QString path = QString::fromStdString((folder / document).string());
    if (!Environment.Desktop.Open_Document(folder / document))
      Environment.Dialogs.Show_Error(this, QString("No program to show %1 could be started. Install a viewer for "
                                                   "this kind of document, or open it from a file manager.")
                                               .arg(path));
    return;
  }
  Environment.Dialogs.Show_Error(this, QString("The help document %1 is not installed: it is neither in %2 nor in %3.")
                                           .arg(document, QString::fromStdString(folders.front().string()),
                                                QString::fromStdString(folders.back().string())));
}

void TForm1::Update_Visual_State() { Panel->Update_Visual_State(); }

TUpdate_Outcome TForm1::UpdateFirmware() { return Firmware->UpdateFirmware(); }
void TForm1::Forget_Default_Firmware() { Firmware->Forget_Default_Firmware(); }
