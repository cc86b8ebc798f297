// The filter alarm box (Edit5): shows the filter alarm time in whole hours and edits it. A typed
// value is kept pending and reaches the record only with Enter; while the box has the focus,
// refreshes leave its text alone.
#pragma once

#include "controller/TVOK_Prop.h"
#include "ui/TGuard.h"
#include "ui/TPanel_Flags.h"

#include <QLineEdit>

#include <cstdint>

class TFilter_Alarm_Field final : public QObject {
public:
  TFilter_Alarm_Field(QLineEdit& edit, QWidget& next_focus, TVOK_Prop& prop, TPanel_Flags flags, const TGuard& guard);

  // The refresh: the alarm time in hours, unless the user is editing it.
  void Show(std::int32_t l_time);

  // Text changed, by typing, undo or a refresh: the number typed becomes the pending alarm time.
  // Text that is no whole number throws the conversion error; the pending value stays.
  void Edit5Change();
  void Edit5Enter();
  // Enter (13) commits the pending value, Escape (27) undoes the last edit; both leave the box.
  void Edit5KeyPress(char key);
  void Edit5Exit();

  bool Alarm_Editing = false;
  std::int32_t Alarm_Pending = 0;  // in sixths of an hour

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Leave();

  QLineEdit& Edit_;
  QWidget& Next_Focus_;
  TVOK_Prop& Prop_;
  TPanel_Flags Flags_;
  TGuard Guard_;
};
