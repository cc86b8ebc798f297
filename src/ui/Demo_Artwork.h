// The Demo tab's pictures, drawn as vectors so they are crisp at any device pixel ratio: the speed
// numerals, the filter, the valve and the warning triangle, each on a rounded square with a thin
// frame, in a black, a blue (active) and a red (alarm) version, and the white background.
#pragma once

#include <QColor>
#include <QSize>

class QPainter;

enum TDemo_Symbol { SYMBOL_BACKGROUND, SYMBOL_SPEED_1, SYMBOL_SPEED_2, SYMBOL_SPEED_3, SYMBOL_FILTER,
                    SYMBOL_VALVE, SYMBOL_WARNING };
enum TDemo_Ink { INK_BLACK, INK_BLUE, INK_RED };

inline constexpr int DEMO_PICTURE_SIZE = 73;  // logical pixels of every symbol picture

QColor Ink_Color(TDemo_Ink ink);

// Paints the symbol over the painter's rectangle of the given logical size from its origin.
void Paint_Demo_Symbol(QPainter& painter, TDemo_Symbol symbol, TDemo_Ink ink, QSize size);
