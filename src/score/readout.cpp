#include "score/readout.h"

#include <charconv>

#include "score/canvas_geometry.h"
#include "score/score_ops.h"
#include "state/spaced.h"

namespace tsuzuri {

namespace {

int pointerRow(const EditorState& s) {
    return rowAtY(s.mouseY);
}

}  // namespace

std::string measureReadout(const EditorState& s) {
    return "第" + spaced(s.mouseMeasure + 1) + "小節";
}

std::string positionReadout(const EditorState& s) {
    return spaced(s.mouseX) + spaced(s.mouseY) + spaced((s.mouseY + 2) / 4) +
           spaced(viewColumn(s.mouseX)) + " " + rowName(s, pointerRow(s)) +
           s.lengthNames[s.curLength];
}

std::string clickReadout(const EditorState& s) {
    return positionReadout(s) + spaced(pointerRow(s));
}

std::string landingReadout(const EditorState& s) {
    const int m = s.mouseMeasure;
    if (m < 0 || m >= kMeasureCount)
        return spaced(m) + ":";
    const int xo = s.mouseX - kNoteOrigin - kColumnWidth * s.viewCol;
    return spaced(m) + ":" + spaced(insertionSlot(currentMeasure(s, m), xo));
}

std::string rowName(const EditorState& s, int row) {
    if (row < 0 || row >= kNamedRows)
        return "";
    return s.rowNames[row];
}

std::string plainNumber(double v) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

}  // namespace tsuzuri
