// What the link supervisor needs of the main window: its buttons, the "Auto" box, the panel's
// refresh, the firmware update, and its own timer.
#pragma once

#include "firmware/Firmware_Update.h"

class TSupervisor_View {
public:
  virtual ~TSupervisor_View() = default;
  virtual void Enable_Change(bool enabled) = 0;           // "Change"
  virtual void Enable_Firmware_File(bool enabled) = 0;    // "Firmware File"
  virtual void Show_Default_Firmware(bool shown) = 0;     // "Default firmware"
  virtual bool Auto_Switch() const = 0;                   // "Auto" is ticked
  virtual void Update_Visual_State() = 0;                 // the Control Mode panel shows the record
  virtual void Enable_Window(bool enabled) = 0;
  virtual TUpdate_Outcome UpdateFirmware() = 0;
  virtual void Forget_Default_Firmware() = 0;             // the next update writes the chosen file again
  virtual void Enable_Supervisor_Timer(bool enabled) = 0;
};
