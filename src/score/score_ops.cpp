#include "score/score_ops.h"

namespace tsuzuri {

namespace {

void writeSlot(EditorState& s, int m, int slot, int t, const SlotData& data) {
    auto& attr = s.noteAttr[m][slot][t];
    attr[kAttrX] = data.x;
    attr[kAttrTop] = data.top;
    attr[kAttrCode] = data.code;
    s.noteRow[m][slot][t] = data.row;
}

}  // namespace

SlotData readSlot(const EditorState& s, int m, int slot, int t) {
    const auto& attr = s.noteAttr[m][slot][t];
    return {attr[kAttrX], attr[kAttrTop], attr[kAttrCode], s.noteRow[m][slot][t]};
}

int insertionSlot(const EditorState& s, int m, int t, int xo) {
    const int n = s.noteCount[m][t];
    for (int k = 0; k < n; ++k) {
        if (s.noteAttr[m][k][t][kAttrX] > xo)
            return k;
    }
    return n;
}

void insertSlot(EditorState& s, int m, int t, int slot, const SlotData& data) {
    const int n = s.noteCount[m][t];
    for (int j = n - 1; j >= slot; --j)
        writeSlot(s, m, j + 1, t, readSlot(s, m, j, t));
    writeSlot(s, m, slot, t, data);
    s.noteCount[m][t] = static_cast<std::int16_t>(n + 1);
}

void removeSlot(EditorState& s, int m, int t, int slot) {
    const int n = s.noteCount[m][t];
    for (int j = slot; j <= n - 2; ++j)
        writeSlot(s, m, j, t, readSlot(s, m, j + 1, t));
    s.noteCount[m][t] = static_cast<std::int16_t>(n - 1);
}

}  // namespace tsuzuri
