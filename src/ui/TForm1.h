// The main window: the menu, the three pages, the version label, the window timers and file
// dialogs, and the program-wide values the pages share. Each page's behaviour lives in its own class;
// the window composes them and routes its events to them.
#pragma once

#include "bridge/TDevice_Discovery.h"
#include "controller/TVOK_Yeli.h"
#include "supervisor/TLink_Supervisor.h"
#include "supervisor/TSupervisor_View.h"
#include "ui/TConfig_Commands.h"
#include "ui/TControl_Tab.h"
#include "ui/TDemo_Tab.h"
#include "ui/TDialogs.h"
#include "ui/TEnvironment.h"
#include "ui/TFirmware_Commands.h"
#include "ui/TMemo_Log.h"
#include "ui/TParameter_Panel.h"
#include "ui/TProgram_Tab.h"
#include "ui/TTimer.h"

#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>

#include <functional>
#include <memory>
#include <optional>

class TForm1 final : public QMainWindow, private TSupervisor_View {
public:
  explicit TForm1(TEnvironment& environment);
  ~TForm1() override;

  void FormCreate();
  void FormCloseQuery(bool& CanClose);

  void Button1Click();
  void pdf1Click();
  void docx1Click();
  void html1Click();
  void WMHotKey(int id);
  void PageControl1Change();

  // Shows a page from code: unlike a user's selection, it makes no request of the link supervisor.
  void Show_Page(QWidget* page);

  TEnvironment& Environment;

  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QLabel* SW_Label;
  TProgram_Tab Program;
  TControl_Tab Control;

  TMemo_Log Program_Log;  // Memo1
  TMemo_Log Control_Log;  // Memo2

  TTimer* Timer1;
  TTimer* Timer3;
  TTimer* Timer4;
  TTimer* Timer5;
  TTimer* Timer6;

  const TFile_Dialog OpenDialog1{"Open...", "Firmwire files |*.hex;  *.dfc;  |All files|*.*", ""};
  const TFile_Dialog OpenDialog2{"Open...", "*.cnf|*.cnf", ""};
  const TFile_Dialog SaveDialog1{"Save", "*.cnf|*.cnf", ".cnf"};

  TDemo_Tab Demo;  // on TabSheet3

  bool Param_Changed = false;
  bool Config_Not_Written = false;

  // The controller object and what drives it, created by FormCreate.
  std::unique_ptr<TVOK_Yeli> Controller;
  std::unique_ptr<TDevice_Discovery> Discovery;
  std::unique_ptr<TLink_Supervisor> Supervisor;
  std::unique_ptr<TFirmware_Commands> Firmware;
  // The Control Mode panel and its commands, which work on the controller's record.
  std::unique_ptr<TParameter_Panel> Panel;
  std::unique_ptr<TConfig_Commands> Config_Commands;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  // The link supervisor's view of the window.
  void Enable_Change(bool enabled) override;
  void Enable_Firmware_File(bool enabled) override;
  void Show_Default_Firmware(bool shown) override;
  bool Auto_Switch() const override;
  void Update_Visual_State() override;
  void Enable_Window(bool enabled) override;
  TUpdate_Outcome UpdateFirmware() override;
  void Forget_Default_Firmware() override;
  void Enable_Supervisor_Timer(bool enabled) override;

  // Asked before the bridge is given a product id it can take only once; the answer holds until
  // "Change" is pressed again, so "Auto" does not ask every second.
  bool Confirm_Permanent_Switch();
  // After the close was accepted: a controller left in its bootloader is restarted into its
  // application while the port is still open, and the port is closed.
  void Leave_Controller_Running();
  void Build_Menu();
  void Register_Hot_Keys();
  void Open_Help(const char* document);
  // A handler that runs under the window's error box, and the guard that makes such handlers.
  std::function<void()> Guarded(std::function<void()> handler);
  TGuard Guard();
  void Close_After_Update();

  bool Showing_Page_From_Code_ = false;
  bool Close_Held_ = false;  // a close request came while the firmware commands were busy
  std::optional<bool> Permanent_Switch_Answer_;
};
