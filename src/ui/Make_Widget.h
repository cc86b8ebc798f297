// Widgets are laid out at fixed places, as drawn at 96 dots per inch (Qt scales them on denser
// screens), and carry their names as Qt object names.
#pragma once

#include <QProgressBar>
#include <QRect>
#include <QSlider>
#include <QString>
#include <QWidget>

template <class TWidget>
TWidget* Make_Widget(QWidget* parent, const char* name, QRect bounds) {
  auto* widget = new TWidget(parent);
  widget->setObjectName(name);
  widget->setGeometry(bounds);
  return widget;
}

// Buttons, labels, check boxes and group boxes: a widget with a caption.
template <class TWidget>
TWidget* Make_Widget(QWidget* parent, const char* name, const QString& caption, QRect bounds) {
  auto* widget = new TWidget(caption, parent);
  widget->setObjectName(name);
  widget->setGeometry(bounds);
  return widget;
}

// A vertical slider as the window's sliders are: position `minimum` at the top, and the arrow keys
// and the wheel move the handle the way they point.
inline QSlider* Make_Vertical_Slider(QWidget* parent, const char* name, QRect bounds, int minimum, int maximum,
                                     int position) {
  auto* slider = Make_Widget<QSlider>(parent, name, bounds);
  slider->setOrientation(Qt::Vertical);
  slider->setInvertedAppearance(true);
  slider->setInvertedControls(true);
  slider->setRange(minimum, maximum);
  slider->setValue(position);
  return slider;
}

inline constexpr int SPEED_BAR_MAXIMUM = 3600;  // rpm of a full speed bar

// A fan's speed bar, empty, filling upwards.
inline QProgressBar* Make_Speed_Bar(QWidget* parent, const char* name, QRect bounds) {
  auto* bar = Make_Widget<QProgressBar>(parent, name, bounds);
  bar->setOrientation(Qt::Vertical);
  bar->setRange(0, SPEED_BAR_MAXIMUM);
  bar->setValue(0);
  bar->setTextVisible(false);
  return bar;
}
