#include "ui/TDemo_Picture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

TDemo_Picture::TDemo_Picture(QWidget* parent, const char* name, QRect bounds, TDemo_Symbol symbol, TDemo_Ink ink)
    : QWidget(parent), Symbol_(symbol), Ink_(ink) {
  setObjectName(name);
  setGeometry(bounds);
}

void TDemo_Picture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint_Demo_Symbol(painter, Symbol_, Ink_, size());
}

// Qt sends a release to the widget under the mouse once the pressed widget is hidden, so the
// picture follows its press at the application until the release.
void TDemo_Picture::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (!Pressed_) {
    Pressed_ = true;
    qApp->installEventFilter(this);
  }
  if (OnMouseDown) OnMouseDown();
}

bool TDemo_Picture::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::MouseButtonRelease || !Pressed_) return false;
  Pressed_ = false;
  qApp->removeEventFilter(this);
  const auto* release = static_cast<QMouseEvent*>(event);
  const bool clicked = release->button() == Qt::LeftButton && !isHidden() &&
                       rect().contains(mapFromGlobal(release->globalPosition().toPoint()));
  if (OnMouseUp) OnMouseUp();
  if (clicked && OnClick) OnClick();
  return false;
}
