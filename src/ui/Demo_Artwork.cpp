#include "ui/Demo_Artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal CENTRE = DEMO_PICTURE_SIZE / 2.0;

QColor Tile_Color(TDemo_Ink ink) {
  switch (ink) {
    case INK_BLUE: return QColor(0xe6, 0xef, 0xfb);
    case INK_RED: return QColor(0xfc, 0xe8, 0xe8);
    case INK_BLACK: break;
  }
  return QColor(0xfa, 0xfa, 0xfa);
}

QPen Stroke(TDemo_Ink ink, qreal width) {
  return QPen(Ink_Color(ink), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void Paint_Tile(QPainter& painter, TDemo_Ink ink) {
  painter.setPen(QPen(Ink_Color(ink), 1.0));
  painter.setBrush(Tile_Color(ink));
  painter.drawRoundedRect(QRectF(1.5, 1.5, DEMO_PICTURE_SIZE - 3, DEMO_PICTURE_SIZE - 3), 11, 11);
}

// Roman numerals: upright strokes between a serif bar at the top and at the bottom.
void Paint_Numeral(QPainter& painter, TDemo_Ink ink, int strokes) {
  constexpr qreal STROKE = 6, GAP = 7, TOP = 19, HEIGHT = 35, SERIF = 4, OVERHANG = 4;
  const qreal width = strokes * STROKE + (strokes - 1) * GAP;
  const qreal left = CENTRE - width / 2;
  painter.setPen(Qt::NoPen);
  painter.setBrush(Ink_Color(ink));
  for (int i = 0; i < strokes; ++i) painter.drawRect(QRectF(left + i * (STROKE + GAP), TOP, STROKE, HEIGHT));
  painter.drawRect(QRectF(left - OVERHANG, TOP, width + 2 * OVERHANG, SERIF));
  painter.drawRect(QRectF(left - OVERHANG, TOP + HEIGHT - SERIF, width + 2 * OVERHANG, SERIF));
}

// A filter cassette: a frame with the pleated medium as a zig-zag across it.
void Paint_Filter(QPainter& painter, TDemo_Ink ink) {
  constexpr qreal LEFT = 13, TOP = 20, WIDTH = 47, HEIGHT = 33, INSET = 5, FOLDS = 7;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Stroke(ink, 3.5));
  painter.drawRect(QRectF(LEFT, TOP, WIDTH, HEIGHT));
  QPainterPath pleats;
  const qreal step = (WIDTH - 2 * INSET) / FOLDS;
  pleats.moveTo(LEFT + INSET, TOP + INSET);
  for (int i = 1; i <= FOLDS; ++i) pleats.lineTo(LEFT + INSET + i * step, i % 2 ? TOP + HEIGHT - INSET : TOP + INSET);
  painter.setPen(Stroke(ink, 2.5));
  painter.drawPath(pleats);
}

// A damper valve: the duct's circle crossed by the slanted blade on its pivot.
void Paint_Valve(QPainter& painter, TDemo_Ink ink) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Stroke(ink, 3.5));
  painter.drawEllipse(QPointF(CENTRE, CENTRE), 20, 20);
  painter.setPen(Stroke(ink, 4.5));
  painter.drawLine(QPointF(CENTRE - 25, CENTRE + 16), QPointF(CENTRE + 25, CENTRE - 16));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Ink_Color(ink));
  painter.drawEllipse(QPointF(CENTRE, CENTRE), 4, 4);
}

void Paint_Warning(QPainter& painter, TDemo_Ink ink) {
  const QPointF corners[] = {{CENTRE, 13}, {CENTRE + 24, 57}, {CENTRE - 24, 57}};
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Stroke(ink, 4));
  painter.drawPolygon(corners, 3);
  painter.setPen(Stroke(ink, 5));
  painter.drawLine(QPointF(CENTRE, 28), QPointF(CENTRE, 42));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Ink_Color(ink));
  painter.drawEllipse(QPointF(CENTRE, 50), 3, 3);
}
}  // namespace

QColor Ink_Color(TDemo_Ink ink) {
  switch (ink) {
    case INK_BLUE: return QColor(0x15, 0x65, 0xc0);
    case INK_RED: return QColor(0xd3, 0x2f, 0x2f);
    case INK_BLACK: break;
  }
  return QColor(0x1c, 0x1c, 0x1c);
}

void Paint_Demo_Symbol(QPainter& painter, TDemo_Symbol symbol, TDemo_Ink ink, QSize size) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (symbol == SYMBOL_BACKGROUND) {
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.restore();
    return;
  }
  Paint_Tile(painter, ink);
  switch (symbol) {
    case SYMBOL_SPEED_1: Paint_Numeral(painter, ink, 1); break;
    case SYMBOL_SPEED_2: Paint_Numeral(painter, ink, 2); break;
    case SYMBOL_SPEED_3: Paint_Numeral(painter, ink, 3); break;
    case SYMBOL_FILTER: Paint_Filter(painter, ink); break;
    case SYMBOL_VALVE: Paint_Valve(painter, ink); break;
    case SYMBOL_WARNING: Paint_Warning(painter, ink); break;
    case SYMBOL_BACKGROUND: break;
  }
  painter.restore();
}
