// The window's two fonts. Where Tahoma and Courier New are missing, fonts of nearly the same width
// stand in (Liberation Mono has exactly Courier New's metrics), so captions fit their places.
#pragma once

#include <QApplication>
#include <QFont>


inline QFont Window_Font() {
  QFont font("Tahoma");
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

inline QFont Log_Font() {
  QFont font("Courier New");
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(15);
  return font;
}

// The window font is every widget's font (the logs set their own), message boxes included. Set as
// the application's font, it reaches widgets that a style sheet keeps from inheriting their parent's.
inline void Use_Window_Fonts() {
  QFont::insertSubstitutions("Tahoma", {"Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
  QApplication::setFont(Window_Font());
}
