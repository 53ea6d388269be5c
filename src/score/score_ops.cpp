#include "score/score_ops.h"

namespace tsuzuri {

void writeSlot(Measure& measure, int slot, const SlotData& data) {
    auto& attr = measure.noteAttr[slot];
    attr[kAttrX] = data.x;
    attr[kAttrTop] = data.top;
    attr[kAttrCode] = data.code;
    measure.noteRow[slot] = data.row;
}

SlotData readSlot(const Measure& measure, int slot) {
    const auto& attr = measure.noteAttr[slot];
    return {attr[kAttrX], attr[kAttrTop], attr[kAttrCode], measure.noteRow[slot]};
}

int insertionSlot(const Measure& measure, int xo) {
    for (int k = 0; k < measure.noteCount; ++k) {
        if (measure.noteAttr[k][kAttrX] > xo)
            return k;
    }
    return measure.noteCount;
}

void insertSlot(Measure& measure, int slot, const SlotData& data) {
    const int n = measure.noteCount;
    for (int j = n - 1; j >= slot; --j)
        writeSlot(measure, j + 1, readSlot(measure, j));
    writeSlot(measure, slot, data);
    measure.noteCount = static_cast<std::int16_t>(n + 1);
}

bool raiseLastMeasure(TrackScore& track, int m) {
    if (m <= track.lastMeasure)
        return false;
    track.lastMeasure = static_cast<std::int16_t>(m);
    return true;
}

void removeSlot(Measure& measure, int slot) {
    const int n = measure.noteCount;
    for (int j = slot; j <= n - 2; ++j)
        writeSlot(measure, j, readSlot(measure, j + 1));
    measure.noteCount = static_cast<std::int16_t>(n - 1);
}

}  // namespace tsuzuri
