#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "state/palette_index.h"
#include "state/piece.h"
#include "state/table.h"
#include "state/track_buffer.h"

namespace tsuzuri {

inline constexpr int kTrackBufferSize = 65536;
// The longest text a paste may leave in an MML box, in UTF-8 bytes: far above
// the MML of a full piece (about 60 KB), far below what blocks the window.
inline constexpr std::size_t kMaxMmlTextBytes = 2u << 20;

// Where the user stands in the piece and what the next edit uses: the track
// and measures in view, the palette choice, the selection and keyboard entry.
struct View {
    std::int16_t paletteIndex = 0;  // the highlighted palette button
    std::int16_t curLength = 0;     // the length index new notes take
    std::int16_t curTrack = 0;      // every edit, compile and preview acts on it
    std::int16_t firstMeasure = 0;  // the first measure in view
    std::int16_t selGlyph = 0;      // the Image4 element of the selected glyph
    std::int16_t selActive = 0;     // 1 while a glyph is selected
    std::int16_t keyEntryMode = 0;  // piano notes are also written into the score
    std::int16_t entryMeasure = 0;  // the measure keyboard entry writes into
    // How many notes keyboard entry has written into entryMeasure; the next
    // one goes after them, or starts the next measure once they fill it.
    std::int16_t entrySlot = 0;
};

// The pointer over the canvas, as the last move left it, and the cursor glyph
// that follows it: what a click on the cursor glyph places.
struct Pointer {
    std::int16_t mouseX = 0;        // pointer x, rounded halves to even
    std::int16_t mouseY = 0;        // pointer y, rounded the same, never below 156
    std::int16_t viewCol = 0;       // the view's measure column under the pointer
    std::int16_t mouseMeasure = 0;  // the measure under the pointer
    std::int16_t stemDir = 0;       // 1 stem up, -1 stem down
    std::int16_t glyphTop = 0;      // top of the cursor glyph, snapped to the row
    std::int16_t glyphCode = 0;     // signed glyph code of the cursor glyph
};

// The names, pitches and lengths the compiler, the read-outs and the piano
// look notes up in. They follow from the octave setting and the key signature
// (the rows) or never change (the lengths and note names), so they are kept
// beside the piece rather than in it: no file, no step of the history holds them.
struct NoteTables {
    Table<std::string, 128> noteNames;       // MML name of each MIDI note: O4C#
    Table<std::string, kRowCount> rowNames;  // MML name of each staff row: O4C
    Table<std::uint8_t, kRowCount> rowMidi;  // MIDI note of each staff row
    Table<std::string, 97> lengthNames;      // MML length text of each length index
    Table<std::uint8_t, 65> lengthTicks;     // ticks of each length index, 32 a quarter
};

// The one record of everything the window keeps between events. A freshly
// made record is zero-filled; startUp() gives it the defaults the window
// starts with.
struct EditorState {
    Piece piece;
    View view;
    Pointer pointer;
    NoteTables tables;
    // The TrackBuffer of each track: the chunk it was last compiled to, which
    // all♪ plays. It lags behind the score until the track is compiled again,
    // so it is no part of the piece. Valid while its byte 0 is 'M'; it holds
    // only the bytes of the chunk stored in it.
    Table<ByteBuffer<kTrackBufferSize>, kStoredTracks> trackBuffer;
    Table<std::int32_t, kStoredTracks> trackChunkSize;
};

// Measure m of the current track, where every edit of the window happens.
inline Measure& currentMeasure(EditorState& s, int m) {
    return s.piece.score[s.view.curTrack].measures[m];
}
inline const Measure& currentMeasure(const EditorState& s, int m) {
    return s.piece.score[s.view.curTrack].measures[m];
}

}  // namespace tsuzuri
