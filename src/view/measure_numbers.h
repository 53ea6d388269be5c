#pragma once

#include <QColor>
#include <QRectF>
#include <vector>

#include "view/render.h"

class QPainter;

namespace tsuzuri {

// The red of a measure that does not keep its bar: its number on the staff
// and the beats read-out over it.
inline const QColor kMeasureNumberRed{210, 0, 0};

// Draws the numbers of the measures in view, each in small type above the
// bar line that opens its measure (x 65 for the first column, where the
// staff's lines begin after the clefs), just above the top staff line. A
// number whose place a drawn glyph in `obstacles` covers moves up above it;
// when a glyph on the highest rows leaves no room above, it moves aside, a
// few pixels at most, and failing that keeps its place under the glyph.
void drawMeasureNumbers(QPainter& p, const MeasureNumbers& numbers,
                        const std::vector<QRectF>& obstacles);

}  // namespace tsuzuri
