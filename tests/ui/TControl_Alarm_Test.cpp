#include "TControl_Fixture.h"

#include <QFocusEvent>

namespace {
// The filter alarm box (Edit5) as the user works it: click into it, type, and press Enter or
// Escape or click elsewhere.
class TFilter_Alarm : public TControl_Fixture {
protected:
  TFilter_Alarm() {
    TVOK_Prop prop = As_Started();
    prop.L_Time = 60;  // 10 hours
    Refresh(prop);
  }

  QLineEdit* Edit5() { return Tab().Edit5; }
  TFilter_Alarm_Field& Alarm() { return Form->Panel->Alarm; }
  void Click_Into_Box() { Edit5()->setFocus(Qt::MouseFocusReason); }
  // Replaces the whole text, key by key.
  void Type_Over(const QString& text) {
    Edit5()->selectAll();
    QTest::keyClicks(Edit5(), text);
  }
  void Press(Qt::Key key) { QTest::keyClick(Edit5(), key); }
  void Refresh_With_Alarm_Time(std::int32_t l_time) {
    TVOK_Prop prop = As_Started();
    prop.L_Time = l_time;
    Refresh(prop);
  }
};
}  // namespace

TEST_F(TFilter_Alarm, Enter_Commits_The_Typed_Hours_And_Leaves_The_Box) {
  Click_Into_Box();
  EXPECT_TRUE(Alarm().Alarm_Editing);
  Type_Over("12000");
  EXPECT_EQ(Prop().L_Time, 60);  // nothing is committed while typing
  EXPECT_EQ(Flags(), LOWERED);
  Press(Qt::Key_Return);
  EXPECT_EQ(Prop().L_Time, 59994);  // 9999 hours at most
  EXPECT_EQ(Edit5()->text(), "9999");
  EXPECT_EQ(Flags(), RAISED);
  EXPECT_FALSE(Alarm().Alarm_Editing);
  EXPECT_EQ(QApplication::focusWidget(), Tab().CheckBox6);
}

TEST_F(TFilter_Alarm, Zero_Commits_The_Last_Value_In_Range) {
  Click_Into_Box();
  Type_Over("0");
  Press(Qt::Key_Enter);
  EXPECT_EQ(Prop().L_Time, 60);  // the value the refresh showed
  EXPECT_EQ(Edit5()->text(), "10");

  Click_Into_Box();
  Type_Over("25");
  Edit5()->selectAll();
  QTest::keyClick(Edit5(), Qt::Key_Backspace);  // the empty box is no number
  QTest::keyClicks(Edit5(), "0");
  Press(Qt::Key_Return);
  EXPECT_EQ(Prop().L_Time, 150);  // 25 hours, typed last before the 0
  EXPECT_EQ(Edit5()->text(), "25");
  EXPECT_EQ(Dialogs.Errors, QStringList{"'' is not a valid integer value."});
}

TEST_F(TFilter_Alarm, Escape_Undoes_The_Edit_And_Keeps_The_Record) {
  Click_Into_Box();
  Edit5()->end(false);
  QTest::keyClicks(Edit5(), "5");
  EXPECT_EQ(Edit5()->text(), "105");
  Press(Qt::Key_Escape);
  EXPECT_EQ(Edit5()->text(), "10");
  EXPECT_EQ(Prop().L_Time, 60);
  EXPECT_EQ(Flags(), LOWERED);
  EXPECT_FALSE(Alarm().Alarm_Editing);
  EXPECT_EQ(QApplication::focusWidget(), Tab().CheckBox6);
}

TEST_F(TFilter_Alarm, Clicking_Elsewhere_Drops_The_Edit_And_The_Next_Refresh_Restores_The_Text) {
  Click_Into_Box();
  Type_Over("77");
  Tab().Inflow[0].Slider->setFocus(Qt::MouseFocusReason);
  EXPECT_FALSE(Alarm().Alarm_Editing);
  EXPECT_EQ(QApplication::focusWidget(), Tab().CheckBox6);
  EXPECT_EQ(Prop().L_Time, 60);
  EXPECT_EQ(Flags(), LOWERED);
  EXPECT_EQ(Edit5()->text(), "77");
  Refresh_With_Alarm_Time(60);
  EXPECT_EQ(Edit5()->text(), "10");
}

TEST_F(TFilter_Alarm, Refreshes_Leave_The_Text_Alone_While_The_User_Edits) {
  Click_Into_Box();
  Type_Over("77");
  Refresh_With_Alarm_Time(120);
  EXPECT_EQ(Edit5()->text(), "77");
  EXPECT_EQ(Alarm().Alarm_Pending, 462);
  Press(Qt::Key_Return);
  EXPECT_EQ(Prop().L_Time, 462);
}

TEST_F(TFilter_Alarm, Text_That_Is_No_Number_Shows_The_Error_At_Every_Keystroke) {
  Click_Into_Box();
  Type_Over("x1");
  EXPECT_EQ(Dialogs.Errors,
            (QStringList{"'x' is not a valid integer value.", "'x1' is not a valid integer value."}));
  EXPECT_EQ(Edit5()->text(), "x1");
  EXPECT_EQ(Alarm().Alarm_Pending, 60);
  // The error box takes the focus for a while; the edit goes on when it comes back.
  QFocusEvent to_message_box(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(Edit5(), &to_message_box);
  EXPECT_TRUE(Alarm().Alarm_Editing);
}

TEST_F(TFilter_Alarm, Typed_Hours_Become_The_Pending_Time_In_Sixths_Of_An_Hour) {
  const std::pair<const char*, std::int32_t> cases[] = {
      {"1", 6}, {"9999", 59994}, {"10000", 59994}, {"2147483647", 59994}, {"0", 18}, {"-5", 18}};
  Click_Into_Box();
  for (auto [text, pending] : cases) {
    Type_Over("3");
    Type_Over(text);
    EXPECT_EQ(Alarm().Alarm_Pending, pending) << text;
  }
}

TEST_F(TFilter_Alarm, A_Refresh_Shows_Whole_Hours_And_Makes_Them_Pending) {
  Refresh_With_Alarm_Time(59);
  EXPECT_EQ(Edit5()->text(), "9");
  EXPECT_EQ(Alarm().Alarm_Pending, 54);
  EXPECT_EQ(Flags(), LOWERED);  // showing the alarm time is no edit
}
