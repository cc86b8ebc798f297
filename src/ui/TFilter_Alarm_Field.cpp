#include "ui/TFilter_Alarm_Field.h"

#include "ui/Str_To_Int.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace {
constexpr char KEY_ENTER = 13;
constexpr char KEY_ESCAPE = 27;
constexpr std::int32_t MOST_HOURS = 9999;

// A message box, a menu or another application taking the focus for a while is no leaving of the
// box: the edit goes on when the focus comes back.
bool Leaves_For_Another_Widget(const QFocusEvent& event) {
  return event.reason() != Qt::ActiveWindowFocusReason && event.reason() != Qt::PopupFocusReason;
}
}  // namespace

TFilter_Alarm_Field::TFilter_Alarm_Field(QLineEdit& edit, QWidget& next_focus, TVOK_Prop& prop, TPanel_Flags flags,
                                         const TGuard& guard)
    : Edit_(edit), Next_Focus_(next_focus), Prop_(prop), Flags_(flags), Guard_(guard) {
  Connect_Guarded(guard, &edit, &QLineEdit::textChanged, this, [this] { Edit5Change(); });
  edit.installEventFilter(this);
}

void TFilter_Alarm_Field::Show(std::int32_t l_time) {
  if (!Alarm_Editing) Edit_.setText(QString::number(l_time / SIXTHS_PER_HOUR));
}

// Zero and negative numbers leave the pending value as it was.
void TFilter_Alarm_Field::Edit5Change() {
  const std::int32_t hours = Str_To_Int(Edit_.text());
  if (hours > MOST_HOURS)
    Alarm_Pending = MOST_HOURS * SIXTHS_PER_HOUR;
  else if (hours >= 1)
    Alarm_Pending = hours * SIXTHS_PER_HOUR;
}

void TFilter_Alarm_Field::Edit5Enter() { Alarm_Editing = true; }

void TFilter_Alarm_Field::Edit5KeyPress(char key) {
  if (key == KEY_ENTER) {
    Prop_.L_Time = Alarm_Pending;
    Edit_.setText(QString::number(Alarm_Pending / SIXTHS_PER_HOUR));
    Flags_.Raise();
    Leave();
  } else if (key == KEY_ESCAPE) {
    Alarm_Editing = false;
    Edit_.undo();
    Leave();
  }
}

// The record keeps its value, so the next refresh puts it back into the box.
void TFilter_Alarm_Field::Edit5Exit() { Leave(); }

void TFilter_Alarm_Field::Leave() {
  Alarm_Editing = false;
  Next_Focus_.setFocus();
}

bool TFilter_Alarm_Field::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &Edit_) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
      Guard_([this] { Edit5Enter(); })();
      return false;
    case QEvent::FocusOut:
      if (Leaves_For_Another_Widget(*static_cast<QFocusEvent*>(event))) Guard_([this] { Edit5Exit(); })();
      return false;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      const char typed = key == Qt::Key_Return || key == Qt::Key_Enter ? KEY_ENTER
                         : key == Qt::Key_Escape                       ? KEY_ESCAPE
                                                                       : 0;
      if (!typed) return false;
      Guard_([this, typed] { Edit5KeyPress(typed); })();
      return true;
    }
    default:
      return false;
  }
}
