#pragma once

#include <cstdint>

#include "state/lazy_table.h"
#include "state/meter.h"
#include "state/table.h"

namespace tsuzuri {

// Sizes of the score tables.
inline constexpr int kStoredTracks = 21;   // tracks 0..20 in every per-track table
inline constexpr int kWindowTracks = 20;   // tracks 0..19, the ones the window offers
inline constexpr int kMeasureCount = 201;  // measures 0..200
inline constexpr int kSlotCount = 21;      // slots 0..20 per measure
inline constexpr int kRowCount = 97;       // staff rows 0..96; row 96 has no pitch
inline constexpr int kNamedRows = 96;      // rows 0..95 carry a name and a pitch

// The tempo of a piece in quarter notes a minute when nothing else is said:
// a Standard MIDI File without a tempo event plays at it.
inline constexpr int kStandardTempo = 120;

// Whether staff row `row` has a name and a pitch: only such rows take notes.
inline bool rowHasPitch(int row) {
    return row >= 0 && row < kNamedRows;
}

// Attributes of a slot in noteAttr.
inline constexpr int kAttrX = 0;     // x offset of the glyph inside its measure column
inline constexpr int kAttrTop = 1;   // top y of the glyph on the canvas
inline constexpr int kAttrCode = 2;  // signed glyph code: stem direction x length index

// The notes of one measure of one track. Slots 0..noteCount-1 are in use and
// sound one after another; the others carry no meaning.
struct Measure {
    std::int16_t noteCount = 0;
    // [slot]: the staff row of the note, its pitch
    Table<std::int16_t, kSlotCount> noteRow;
    // [slot][attribute]: x offset, glyph top, signed glyph code, reserved
    Table<Table<std::int16_t, 4>, kSlotCount> noteAttr;

    bool operator==(const Measure&) const = default;
};

// The score of one track: what undo restores of it and what the compiler reads.
struct TrackScore {
    std::uint8_t trackProgram = 0;  // General MIDI program, counted from 0
    std::int16_t lastMeasure = 0;   // compiling covers measures 0..lastMeasure
    // Made when the track is first edited or read into: an unused track costs nothing.
    LazyTable<Measure, kMeasureCount> measures;

    bool operator==(const TrackScore&) const = default;
};

// The piece: the score of every track and the settings that belong to it.
// This is what the score file keeps, what the history restores and what the
// compiler and the exports read; nothing of the view or the pointer is in it.
struct Piece {
    Table<TrackScore, kStoredTracks> score;
    std::int16_t keySignature = 0;      // -7..7: flats below 0, sharps above
    std::int16_t octave = 0;            // the octave setting 0..8: which octave the staff rows name
    std::int16_t trackCount = 0;        // tracks in use (MaxTrk): the track buttons stay below it
    Table<bool, kWindowTracks> ticked;  // the tracks all♪ plays
    std::int16_t tempo = kStandardTempo;  // quarter notes a minute, 32..255
    Meter meter = kCommonTime;            // how long a measure lasts; free: as long as it holds

    bool operator==(const Piece&) const = default;
};

}  // namespace tsuzuri
