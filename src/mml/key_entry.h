#pragma once

#include <cstdint>
#include <string_view>

#include "state/editor_state.h"

namespace tsuzuri {

// Keyboard entry writes the notes played on the on-screen piano into measure
// `entryMeasure` of the current track; `entrySlot` counts the notes it has
// entered into that measure so far. With U the note count setting, the k-th
// entered note (k = 1..U) sits at x offset k * (200 / (U + 1)), so U notes
// spread evenly across the measure, and the note after them starts the next
// measure. With U = 0 every note starts a new measure, alone in its middle.

// Switches keyboard entry on or off. Switching on adds a measure after the
// track's last one, aims the entry at the old last measure and shows that
// measure in the view's third column. Returns whether entry is now on.
bool switchKeyEntry(EditorState& s);

enum class EntryOutcome {
    Stored,
    Ignored,            // no note text: nothing to store, nothing to tell
    RowOutOfRange,      // the pitch has no staff row at this octave setting
    MeasureOutOfRange,  // the entry would go beyond measure 200
    MeasureFull,        // the measure already holds the most notes it can
};

struct EntryResult {
    EntryOutcome outcome = EntryOutcome::Ignored;
    int measure = -1;
    int slot = -1;
    int row = -1;
    // An accidental mark was stored right before the note, in slot - 1.
    bool marked = false;
    // lastMeasure of the track grew to `measure`: the slider's maximum follows.
    bool lastMeasureRaised = false;
};

// Stores the note text of a piano key into the current track as a mouse click
// would place it, so that it sounds the key's pitch: a white key on its own
// staff row under `octaveSetting`, a black key as the sharp of the row below
// (the flat of the row above in a key with flats), with the glyph the cursor
// shows on that row, inserted among the measure's notes by its x offset.
// When the row would not sound that pitch there (by the key signature or an
// earlier mark on the row in the measure), a sharp, flat or natural mark is
// stored right before the note. `notesPerMeasure` is the note count setting
// (U). A refused note leaves the record as it was.
EntryResult enterNote(EditorState& s, std::string_view noteText, int octaveSetting,
                      int notesPerMeasure);

// The short notice the window shows for a refused note; empty for a stored or
// ignored one.
std::string_view entryNotice(EntryOutcome outcome);

// The staff row of staff step `step` under octave setting `octaveSetting`.
int entryRow(int step, int octaveSetting);

// How the score writes MIDI note `pitch`: the staff step of its letter and
// the sign on it. White keys are natural; a black key is the sharp of the
// letter below, or with `flats` the flat of the letter above.
struct EntrySpelling {
    int step = 0;
    int sign = 0;
};
EntrySpelling spellKey(int pitch, bool flats);

// The x offset of the k-th note entered into a measure (k from 1).
int entryOffset(int k, int notesPerMeasure);

// The glyph top and signed glyph code the cursor glyph takes for length index
// `length` on staff row `row`.
struct EntryGlyph {
    std::int16_t top = 0;
    std::int16_t code = 0;
};
EntryGlyph entryGlyph(int row, int length);

}  // namespace tsuzuri
