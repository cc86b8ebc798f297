#include "ui/TMemo_Log.h"

#include "ui/Window_Fonts.h"

#include <QTextBlock>
#include <QTimer>

#include <cstdio>

TMemo_Log::TMemo_Log(QPlainTextEdit& memo, std::string prefix) : Memo_(memo), Prefix_(std::move(prefix)) {}

TMemo_Log::~TMemo_Log() { Mirror_Held_Line(); }

void TMemo_Log::Clear() {
  Mirror_Held_Line();
  Memo_.clear();
  Repaint();
}

void TMemo_Log::Add(std::string_view line) {
  Mirror_Held_Line();
  Memo_.appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  Hold(std::string(line));
  Repaint();
}

void TMemo_Log::Append(std::string_view text) {
  QTextCursor cursor(Memo_.document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  Hold(Held_.value_or(std::string()) + std::string(text));
  Repaint();
}

QStringList TMemo_Log::Lines() const {
  if (Memo_.document()->isEmpty()) return {};
  return Memo_.toPlainText().split(QChar('\n'));
}

// The user sees each line as it comes, even while a long step keeps the event loop from running.
void TMemo_Log::Repaint() { Memo_.viewport()->repaint(); }

void TMemo_Log::Hold(std::string line) {
  const bool was_holding = Held_.has_value();
  Held_ = std::move(line);
  if (!was_holding) QTimer::singleShot(0, &Mirror_Context_, [this] { Mirror_Held_Line(); });
}

void TMemo_Log::Mirror_Held_Line() {
  if (!Held_) return;
  std::fprintf(stderr, "%s: %s\n", Prefix_.c_str(), Held_->c_str());
  std::fflush(stderr);
  Held_.reset();
}

QPlainTextEdit* Make_Log_Memo(QWidget* parent, const char* name, QRect bounds) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(name);
  memo->setGeometry(bounds);
  memo->setReadOnly(true);
  memo->setEnabled(false);
  // Disabled so nobody types into it, yet as readable as enabled text, on the button-face colour.
  QPalette palette = memo->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
    palette.setColor(group, QPalette::Base, palette.color(QPalette::Active, QPalette::Button));
  }
  memo->setPalette(palette);
  memo->setFont(Log_Font());
  memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Mirrored box, but the text keeps its left-to-right order and alignment, so paths and
  // punctuation read as written.
  memo->setLayoutDirection(Qt::RightToLeft);
  QTextOption option = memo->document()->defaultTextOption();
  option.setTextDirection(Qt::LeftToRight);
  option.setAlignment(Qt::AlignLeft);
  memo->document()->setDefaultTextOption(option);
  return memo;
}
