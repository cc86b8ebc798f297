// The "Carbon" look: a dark grey style sheet carried inside the program.
#pragma once

class QApplication;

// Applies the style to every window of the application; when it cannot, says so in a message box
// and leaves the plain system look.
void Apply_Carbon_Style(QApplication& application);
