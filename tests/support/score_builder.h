#pragma once

#include <memory>

#include "state/tables.h"

namespace tsuzuri::test {

// A started record (octave setting 4) for tests that build scores by hand.
inline std::unique_ptr<EditorState> newState(int octave = 4) {
    auto s = std::make_unique<EditorState>();
    startUp(*s, octave);
    return s;
}

// Appends a slot with staff row `row` and signed glyph code `code` to measure m of track t.
inline void appendSlot(EditorState& s, int t, int m, int row, int code, int x = 0) {
    const int slot = s.piece.score[t].measures[m].noteCount;
    s.piece.score[t].measures[m].noteRow[slot] = static_cast<std::int16_t>(row);
    s.piece.score[t].measures[m].noteAttr[slot][kAttrX] = static_cast<std::int16_t>(x);
    s.piece.score[t].measures[m].noteAttr[slot][kAttrCode] = static_cast<std::int16_t>(code);
    s.piece.score[t].measures[m].noteCount = static_cast<std::int16_t>(slot + 1);
}

}  // namespace tsuzuri::test
