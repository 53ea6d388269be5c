#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "state/lazy_table.h"
#include "state/table.h"
#include "state/track_buffer.h"

namespace tsuzuri {

// Sizes of the score tables.
inline constexpr int kTrackCount = 21;     // tracks 0..20; the window offers 0..19
inline constexpr int kWindowTracks = 20;   // tracks the window lets the user choose
inline constexpr int kMeasureCount = 201;  // measures 0..200
inline constexpr int kSlotCount = 21;      // slots 0..20 per measure
inline constexpr int kRowCount = 97;       // staff rows 0..96; row 96 has no pitch
inline constexpr int kNamedRows = 96;      // rows 0..95 carry a name and a pitch
inline constexpr int kLengthCount = 28;    // length indices 0..27 have ticks and text
inline constexpr int kNoteLengths = 14;    // length indices 0..13 are sounding notes
inline constexpr int kTrackBufferSize = 65536;
// The longest text a paste may leave in an MML box, in UTF-8 bytes: far above
// the MML of a full piece (about 60 KB), far below what blocks the window.
inline constexpr std::size_t kMaxMmlTextBytes = 2u << 20;

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

// The score of one track: what the score file keeps of it, what undo restores
// and what the compiler reads.
struct TrackScore {
    std::uint8_t trackProgram = 0;  // General MIDI program, counted from 0
    std::int16_t lastMeasure = 0;   // compiling covers measures 0..lastMeasure
    // Made when the track is first edited or read into: an unused track costs nothing.
    LazyTable<Measure, kMeasureCount> measures;

    bool operator==(const TrackScore&) const = default;
};

// The one record of everything the window keeps between events. Fields follow
// the order the program has always declared them in. A freshly made record is
// zero-filled; startUp() gives it the defaults the window starts with.
struct EditorState {
    std::int16_t paletteIndex = 0;
    // The score of every track: its instrument, last measure and notes.
    Table<TrackScore, kTrackCount> score;
    Table<std::string, 128> noteNames;
    Table<std::uint8_t, 65> lengthTicks;
    std::int16_t stemDir = 0;
    std::int16_t trackCount = 0;
    std::int16_t curLength = 0;
    std::int16_t curTrack = 0;
    std::int16_t selGlyph = 0;
    std::int16_t mouseX = 0;
    std::int16_t mouseY = 0;
    std::string midiPath;
    std::int16_t keyEntryMode = 0;
    std::int16_t entryMeasure = 0;
    std::int16_t entrySlot = 0;
    Table<std::string, kRowCount> rowNames;
    Table<std::string, 97> lengthNames;
    std::int16_t viewCol = 0;
    std::int16_t firstMeasure = 0;
    std::int16_t mouseMeasure = 0;
    Table<std::uint8_t, kRowCount> rowMidi;
    std::int16_t glyphIndex = 0;
    std::int16_t selActive = 0;
    std::int16_t keySignature = 0;
    std::int16_t prevStemDir = 0;
    std::int16_t glyphLeft = 0;
    std::int16_t glyphTop = 0;
    std::int16_t glyphCode = 0;
    // The TrackBuffer of each track, its chunk contiguous; valid while its
    // byte 0 is 'M'. It holds only the bytes of the chunk stored in it.
    Table<ByteBuffer<kTrackBufferSize>, kTrackCount> trackBuffer;
    Table<std::int32_t, kTrackCount> trackChunkSize;
};

// Measure m of the current track, where every edit of the window happens.
inline Measure& currentMeasure(EditorState& s, int m) {
    return s.score[s.curTrack].measures[m];
}
inline const Measure& currentMeasure(const EditorState& s, int m) {
    return s.score[s.curTrack].measures[m];
}

}  // namespace tsuzuri
