// An on-screen log (the program log or the control log): a read-only text box that the core writes
// whole lines to. Every line also goes to standard error as "<prefix>: <line>", once the line is
// complete: when the next line starts, the log is cleared, or the window's event loop runs again.
#pragma once

#include "platform/TLog.h"

#include <QPlainTextEdit>

#include <optional>
#include <string>

class TMemo_Log final : public TLog {
public:
  TMemo_Log(QPlainTextEdit& memo, std::string prefix);
  ~TMemo_Log() override;

  void Clear() override;
  void Add(std::string_view line) override;
  void Append(std::string_view text) override;

  // The lines as the user sees them.
  QStringList Lines() const;

private:
  void Repaint();
  void Hold(std::string line);
  void Mirror_Held_Line();

  QPlainTextEdit& Memo_;
  std::string Prefix_;
  std::optional<std::string> Held_;  // the last line, not yet written to standard error
  QObject Mirror_Context_;           // cancels a pending mirror when the log goes
};

// The text box of a log: read-only and disabled (no typing, selecting or scrolling), wrapping at its
// width, no scroll bars, Courier New 15 px.
QPlainTextEdit* Make_Log_Memo(QWidget* parent, const char* name, QRect bounds);
