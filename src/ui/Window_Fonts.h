// The window's two fonts. Where Tahoma and Courier New are missing, fonts of nearly the same width
// stand in (Liberation Mono has exactly Courier New's metrics), so captions fit their places.
#pragma once

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QWidget>

#include <initializer_list>

// The first of `families` this machine has, so the font is found at once rather than by a fallback
// search for every widget.
inline QString Installed_Family(std::initializer_list<const char*> families) {
  for (const char* family : families)
    if (QFontDatabase::hasFamily(family)) return family;
  return *families.begin();
}

inline QFont Window_Font() {
  static const QString family = Installed_Family({"Tahoma", "Liberation Sans", "DejaVu Sans"});
  QFont font(family);
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  return font;
}

inline QFont Log_Font() {
  static const QString family = Installed_Family({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
  QFont font(family);
  font.setStyleHint(QFont::TypeWriter);
  font.setPixelSize(15);
  return font;
}

// One pixel smaller than the window font: for a caption whose place is too narrow for it in the
// wider fonts (DejaVu Sans runs about a tenth wider than Tahoma).
inline void Use_Smaller_Font(QWidget* widget) {
  QFont font = widget->font();
  font.setPixelSize(Window_Font().pixelSize() - 1);
  widget->setFont(font);
}

// The window font is every widget's font (the logs set their own), message boxes included. Set as
// the application's font, it reaches widgets that a style sheet keeps from inheriting their parent's.
inline void Use_Window_Fonts() { QApplication::setFont(Window_Font()); }
