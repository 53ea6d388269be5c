#include "score/readout.h"

#include <charconv>

#include "music/bars.h"
#include "score/canvas_geometry.h"
#include "score/score_ops.h"
#include "state/spaced.h"

namespace tsuzuri {

namespace {

int pointerRow(const EditorState& s) {
    return rowAtY(s.pointer.mouseY);
}

// A count of beats given in hundredths, with no more decimals than it needs.
std::string beatCount(std::int64_t hundredths) {
    std::string text = std::to_string(hundredths / 100);
    const std::int64_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += "." + std::to_string(fraction / 10);
        if (fraction % 10 != 0)
            text += std::to_string(fraction % 10);
    }
    return text;
}

}  // namespace

std::string measureReadout(const EditorState& s) {
    return "第" + spaced(s.pointer.mouseMeasure + 1) + "小節";
}

std::string beatsReadout(const EditorState& s) {
    const int m = s.pointer.mouseMeasure;
    if (m < 0 || m >= kMeasureCount)
        return "";
    const Meter meter = s.piece.meter;
    const MeasureFit fit = measureFit(s.piece.score[s.view.curTrack], meter, m);
    if (fit.fit != BarFit::Short && fit.fit != BarFit::Long)
        return "";
    // A beat is a whole note divided by the meter's unit: 1920 / unit exact units.
    const ExactTime wholeNote = exactTicks(128);
    const std::int64_t hundredths = (200 * fit.held * meter.unit + wholeNote) / (2 * wholeNote);
    return beatCount(hundredths) + "/" + std::to_string(meter.beats) + "拍";
}

std::string positionReadout(const EditorState& s) {
    return spaced(s.pointer.mouseX) + spaced(s.pointer.mouseY) +
           spaced((s.pointer.mouseY + 2) / 4) + spaced(viewColumn(s.pointer.mouseX)) + " " +
           rowName(s, pointerRow(s)) + s.tables.lengthNames[s.view.curLength];
}

std::string clickReadout(const EditorState& s) {
    return positionReadout(s) + spaced(pointerRow(s));
}

std::string landingReadout(const EditorState& s) {
    const int m = s.pointer.mouseMeasure;
    if (m < 0 || m >= kMeasureCount)
        return spaced(m) + ":";
    const int xo = columnOffset(s.pointer.mouseX, s.pointer.viewCol);
    return spaced(m) + ":" + spaced(insertionSlot(currentMeasure(s, m), xo));
}

std::string rowName(const EditorState& s, int row) {
    if (!rowHasPitch(row))
        return "";
    return s.tables.rowNames[row];
}

std::string plainNumber(double v) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, v);
    return std::string(text, result.ptr);
}

}  // namespace tsuzuri
