// The "Carbon" look: a dark grey palette carried inside the program, drawn by Qt's Fusion style.
#pragma once

#include <QPalette>
#include <QString>

#include <optional>

class QApplication;

// The palette described by `text` ("Role = #rrggbb[, #rrggbb on disabled widgets]" lines, "#"
// comments), or nothing with the line that is wrong in `problem`.
std::optional<QPalette> Parse_Carbon_Palette(const QString& text, QString& problem);

// Applies the look to every window of the application; when it cannot, says so in a message box
// and leaves the plain system look.
void Apply_Carbon_Style(QApplication& application);
