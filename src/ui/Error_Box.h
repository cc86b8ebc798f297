// Errors that a window command does not handle (a text that is no number, a file that cannot be
// read) end that command and are shown in the application's error box; the program goes on.
#pragma once

#include "ui/TDialogs.h"

#include <functional>

class QWidget;

// The message as the error box shows it: a full stop is added when the last character's code is
// greater than that of ".".
QString Error_Box_Text(const QString& message);

// Runs a handler; an exception that escapes it is shown in the error box of the active window.
void Run_Guarded(TDialogs& dialogs, const std::function<void()>& handler);
