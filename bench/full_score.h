#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "score/canvas_geometry.h"
#include "state/tables.h"

namespace tsuzuri::bench {

// A started record (octave setting 4).
inline std::unique_ptr<EditorState> startedState() {
    auto s = std::make_unique<EditorState>();
    startUp(*s, 4);
    return s;
}

// Fills track t as full as the score allows: `perMeasure` slots in each of the 201
// measures, mostly notes of every length with both stems, some rests, on
// rows across both staves, each with the x offset and glyph top the editor
// would give it. Rests keep the positive code the palette gives them.
inline void fillTrack(EditorState& s, int t, int perMeasure = kSlotCount) {
    s.piece.score[t].lastMeasure = kMeasureCount - 1;
    for (int m = 0; m < kMeasureCount; ++m) {
        for (int slot = 0; slot < perMeasure; ++slot) {
            const int i = m * perMeasure + slot + t;
            const int row = 12 + i % 20;
            const int length = i % 7 == 0 ? 14 + i % 13 : i % kNoteLengths;
            const int stem = row >= 21 ? -1 : 1;
            const int y = (kTopRow - row) * 4;
            auto& attr = s.piece.score[t].measures[m].noteAttr[slot];
            attr[kAttrX] = static_cast<std::int16_t>(slot * 6);
            attr[kAttrTop] = static_cast<std::int16_t>(stem > 0 ? y - 34 : y - 8);
            attr[kAttrCode] =
                static_cast<std::int16_t>(isNoteIndex(length) ? stem * length : length);
            s.piece.score[t].measures[m].noteRow[slot] = static_cast<std::int16_t>(row);
        }
        s.piece.score[t].measures[m].noteCount = static_cast<std::int16_t>(perMeasure);
    }
}

// Fills track t as full as the score allows with every kind of mark among the
// notes: each measure of 21 slots holds a V mark, a sharp and a natural, a
// tie and a slur, a triplet of eighths and a quintuplet of sixteenths.
inline void fillTrackWithMarks(EditorState& s, int t) {
    struct Slot {
        int row, index;
    };
    constexpr Slot kMeasure[kSlotCount] = {
        {24, 35 + 9}, {24, 28}, {24, 8}, {24, 31}, {24, 8},  {25, 31}, {26, 6},
        {21, 32},     {21, 6},  {22, 6}, {23, 20}, {21, 33}, {24, 4},  {25, 4},
        {26, 4},      {27, 18}, {28, 4}, {24, 30}, {24, 8},  {24, 31}, {20, 9}};
    s.piece.score[t].lastMeasure = kMeasureCount - 1;
    for (int m = 0; m < kMeasureCount; ++m) {
        Measure& measure = s.piece.score[t].measures[m];
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const Slot& k = kMeasure[slot];
            const int row = k.row + (m + t) % 7;
            const PlacedGlyph glyph = placedGlyph(k.index, row);
            measure.noteAttr[slot][kAttrX] = static_cast<std::int16_t>(slot * 9);
            measure.noteAttr[slot][kAttrTop] = static_cast<std::int16_t>(glyph.top);
            measure.noteAttr[slot][kAttrCode] = static_cast<std::int16_t>(glyph.code);
            measure.noteRow[slot] = static_cast<std::int16_t>(row);
        }
        measure.noteCount = kSlotCount;
    }
}

// Fills track t with 201 short measures, each completed with rests under 4/4:
// a V mark, a quarter note, a tie to a dotted sixty-fourth and a triplet of
// sixteenths hold 51 ticks, so that four rests (r2 r16 r64. r64) make up
// the 77 ticks each lacks.
inline void fillTrackWithShortBars(EditorState& s, int t) {
    struct Slot {
        int row, index;
    };
    constexpr Slot kMeasure[] = {{24, 35 + 9}, {24, 8},  {24, 31}, {24, 1},
                                 {21, 32},     {21, 4},  {22, 4},  {23, 4}};
    s.piece.score[t].lastMeasure = kMeasureCount - 1;
    for (int m = 0; m < kMeasureCount; ++m) {
        Measure& measure = s.piece.score[t].measures[m];
        int slot = 0;
        for (const Slot& k : kMeasure) {
            const int row = k.row + (m + t) % 7;
            const PlacedGlyph glyph = placedGlyph(k.index, row);
            measure.noteAttr[slot][kAttrX] = static_cast<std::int16_t>(slot * 20);
            measure.noteAttr[slot][kAttrTop] = static_cast<std::int16_t>(glyph.top);
            measure.noteAttr[slot][kAttrCode] = static_cast<std::int16_t>(glyph.code);
            measure.noteRow[slot] = static_cast<std::int16_t>(row);
            ++slot;
        }
        measure.noteCount = static_cast<std::int16_t>(slot);
    }
}

}  // namespace tsuzuri::bench
