// The "Control Mode" page.
#pragma once

#include <QPlainTextEdit>

class TControl_Tab {
public:
  explicit TControl_Tab(QWidget* page);

  QPlainTextEdit* Memo2;
};
