// A picture button of the Demo tab: one symbol at its natural size, painted at the screen's device
// pixel ratio, with mouse-down, mouse-up and click events.
#pragma once

#include "ui/Demo_Artwork.h"

#include <QWidget>

#include <functional>

// Its own meta-object keeps the window's style sheet from painting a background behind the rounded
// corners, which let the white panel show through.
class TDemo_Picture final : public QWidget {
  Q_OBJECT

public:
  TDemo_Picture(QWidget* parent, const char* name, QRect bounds, TDemo_Symbol symbol, TDemo_Ink ink);

  TDemo_Symbol Symbol() const { return Symbol_; }
  TDemo_Ink Ink() const { return Ink_; }

  std::function<void()> OnMouseDown;  // any button
  // The release of a press always arrives, even when the press hid the picture in the meantime
  // (the filter reset does); a click is a left release over the picture while it still shows.
  std::function<void()> OnMouseUp;
  std::function<void()> OnClick;

protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  TDemo_Symbol Symbol_;
  TDemo_Ink Ink_;
  bool Pressed_ = false;
};
