// Every caption of the three pages fits the rectangle it is drawn in, measured with the font the
// widget really uses, in the program's own style. ctest runs this program twice: with the fonts the
// program prefers (--fonts=Preferred), and with a font configuration that holds only DejaVu
// (--fonts=DejaVu: a desktop without the Liberation fonts). Each run first checks that the window
// font is the family it is meant for, so it cannot pass on the wrong fonts.
#include "support/TControl_Board_Fixture.h"

#include "ui/Carbon_Style.h"
#include "ui/Window_Fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>

#include <QLocale>

#include <cstring>

using namespace std::chrono_literals;

namespace {
const char* Expected_Family = "Liberation Sans";

// What does not fit, one line a widget: its name, its text, what the text needs and what it has.
class TFit_Report {
public:
  void Check(const QWidget* widget, const QString& text, QSize needed, QSize room) {
    if (needed.width() <= room.width() && needed.height() <= room.height()) return;
    Problems_ << QString("%1 \"%2\" needs %3x%4, has %5x%6")
                     .arg(widget->objectName().isEmpty() ? widget->metaObject()->className() : widget->objectName(), text)
                     .arg(needed.width())
                     .arg(needed.height())
                     .arg(room.width())
                     .arg(room.height());
  }
  std::string Text() const { return Problems_.join('\n').toStdString(); }

private:
  QStringList Problems_;
};

// The part of `area` (in the widget's coordinates) that its parent does not cut off.
QSize Unclipped(const QWidget* widget, QRect area) {
  if (const QWidget* parent = widget->parentWidget())
    area &= QRect(widget->mapFromParent(QPoint(0, 0)), parent->size());
  return area.size();
}

QSize Text_Size(const QWidget* widget, const QString& text) {
  const QFontMetrics metrics = widget->fontMetrics();
  return {metrics.horizontalAdvance(text), metrics.height()};
}

void Check_Label(TFit_Report& report, const QLabel* label) {
  if (label->text().isEmpty()) return;
  const int inset = 2 * label->margin() + std::max(label->indent(), 0);
  report.Check(label, label->text(), Text_Size(label, label->text()),
               Unclipped(label, label->contentsRect()) - QSize(inset, 2 * label->margin()));
}

void Check_Button(TFit_Report& report, const QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
  report.Check(button, button->text(), Text_Size(button, button->text()), Unclipped(button, room));
}

void Check_Check_Box(TFit_Report& report, const QCheckBox* box) {
  QStyleOptionButton option;
  option.initFrom(box);
  option.text = box->text();
  const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
  report.Check(box, box->text(), Text_Size(box, box->text()), Unclipped(box, room));
}

// The style places the title from the frame's corner; it fits when it ends before the opposite
// corner, which lies as far in from the right edge. Trailing spaces draw nothing.
void Check_Group_Title(TFit_Report& report, const QGroupBox* group) {
  QString title = group->title();
  while (title.endsWith(' ')) title.chop(1);
  if (title.isEmpty()) return;
  QStyleOptionGroupBox option;
  option.initFrom(group);
  option.text = group->title();
  option.textAlignment = group->alignment();
  option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
  option.lineWidth = 1;
  const QRect label = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
  report.Check(group, title, Text_Size(group, title), {group->width() - 2 * label.left(), label.height()});
}

void Check_Combo_Box(TFit_Report& report, const QComboBox* combo) {
  QStyleOptionComboBox option;
  option.initFrom(combo);
  option.editable = combo->isEditable();
  option.frame = combo->hasFrame();
  const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
  for (int i = 0; i < combo->count(); ++i)
    report.Check(combo, combo->itemText(i), Text_Size(combo, combo->itemText(i)), Unclipped(combo, room));
}

void Check_Tabs(TFit_Report& report, const QTabBar* tabs) {
  const int padding = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
  for (int i = 0; i < tabs->count(); ++i) {
    const QRect tab = tabs->tabRect(i).intersected(tabs->rect());
    report.Check(tabs, tabs->tabText(i), Text_Size(tabs, tabs->tabText(i)), tab.size() - QSize(padding, 0));
  }
}

// Hidden widgets are walked too: "Default firmware" and the demo's pictures show only in some states.
std::string Misfits(const QWidget* root) {
  TFit_Report report;
  for (const QLabel* label : root->findChildren<QLabel*>()) Check_Label(report, label);
  for (const QPushButton* button : root->findChildren<QPushButton*>()) Check_Button(report, button);
  for (const QCheckBox* box : root->findChildren<QCheckBox*>()) Check_Check_Box(report, box);
  for (const QGroupBox* group : root->findChildren<QGroupBox*>()) Check_Group_Title(report, group);
  for (const QComboBox* combo : root->findChildren<QComboBox*>()) Check_Combo_Box(report, combo);
  for (const QTabBar* tabs : root->findChildren<QTabBar*>()) Check_Tabs(report, tabs);
  return report.Text();
}

// The window on a board with old firmware, so that every button of the Program Mode page shows.
class Text_Fits : public TControl_Board_Fixture {
protected:
  Text_Fits() : TControl_Board_Fixture(SIM_FACTORY_OLD) {}
  static void SetUpTestSuite() { Apply_Carbon_Style(*static_cast<QApplication*>(QCoreApplication::instance())); }
};

TEST_F(Text_Fits, In_The_Font_This_Run_Is_Meant_For) {
  EXPECT_EQ(QFontInfo(Form->SW_Label->font()).family().toStdString(), Expected_Family);
  EXPECT_EQ(QFontInfo(Form->Control.Label19->font()).family().toStdString(), Expected_Family);
}

TEST_F(Text_Fits, Program_Mode_Identifying) {
  Tick_Until_State(VOK_CHECK_USB_CONN);
  ASSERT_TRUE(Form->Program.Button4->isVisible());
  EXPECT_EQ(Misfits(Form.get()), "");
}

TEST_F(Text_Fits, Control_Mode_In_Work_Mode) {
  Enter_Work_Mode();
  Tick();
  EXPECT_EQ(Misfits(Form->TabSheet2), "");
}

TEST_F(Text_Fits, Demo_Running) {
  Select_Page(2);
  Run_For(2s);
  EXPECT_EQ(Misfits(Form->TabSheet3), "");
}
}  // namespace

// This program's own main (the shared GUI test main is then not linked in): the font set must be
// chosen before the QApplication reads the font configuration.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--fonts=DejaVu") == 0) {
      qputenv("FONTCONFIG_FILE", DEJAVU_FONTS_CONF);
      Expected_Family = "DejaVu Sans";
    }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QLocale::setDefault(QLocale::c());
  QApplication application(argc, argv);
  Use_Window_Fonts();
  return RUN_ALL_TESTS();
}
