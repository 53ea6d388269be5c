#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

class QPainter;

// The drawing of each family of pictures, in design pixels with the picture's
// top-left corner at the origin. Used by glyph_art.cpp, which picks the family
// for a picture number.
namespace tsuzuri::art {

inline const QColor kInk{0, 0, 0};

// A filled ellipse centred at (cx, cy), turned by `degrees` (negative turns
// its right end upward on screen).
QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry, qreal degrees);

// Outline of `text` in `font`, scaled to fit `box`: uniformly to the box's
// height, and narrower still when that would be wider than the box. Centred.
QPainterPath textInBox(const QString& text, const QFont& font, const QRectF& box);

// Note lengths by palette index 0..13: 64th, dotted 64th, ... whole, dotted
// whole.
void drawNote(QPainter& p, int length, bool stemDown);
void drawRest(QPainter& p, int length);
// Where drawNote puts the centre of the notehead.
QPointF noteheadCentre(int length, bool stemDown);

void drawSharp(QPainter& p);
void drawFlat(QPainter& p);
void drawNatural(QPainter& p);
// A slur arc; with figure 3 or 5 it carries that tuplet figure above it, with
// 0 it is the plain 32 x 9 arc.
void drawArc(QPainter& p, int figure);
void drawVolume(QPainter& p, int volume);

void drawWhiteKey(QPainter& p);
void drawBlackKey(QPainter& p);
void drawKeyboardTile(QPainter& p);

}  // namespace tsuzuri::art
