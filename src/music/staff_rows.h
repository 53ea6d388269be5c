#pragma once

#include <cstdint>
#include <string>

#include "state/editor_state.h"

namespace tsuzuri {

// A pitch as the score spells it: the MIDI key it sounds and its MML name,
// "O" + octave digit + letter + sign ("O4F#", "O4E-", "O4B").
struct SpelledPitch {
    std::uint8_t key = 0;
    std::int8_t octave = -1;  // the digit of the name; -1: a row without a name
    std::int8_t letter = 0;   // 0 = C, 1 = D ... 6 = B
    std::int8_t sign = 0;     // +1 "#", -1 "-", 0 none

    bool operator==(const SpelledPitch&) const = default;
};

// Writes the MML name of a spelled pitch into `out`, which has room for
// kPitchNameRoom characters, and returns its length: 0 for a row without a
// name.
inline constexpr std::size_t kPitchNameRoom = 8;
std::size_t formatPitchName(const SpelledPitch& p, char* out);

// How one staff row is written and sounds: its natural note (the row as
// nt_init builds it) and the sign the key signature gives it.
struct StaffRow {
    SpelledPitch natural;  // sign 0
    std::int8_t keySign = 0;
    // What the row plays with no mark before it: the row tables' own entry.
    std::uint8_t keyKey = 0;
};

// Every staff row 0..96, read from the row tables as the key signature left
// them: a row's name is its natural name followed by the key's sign, if any,
// and its key is the natural key moved by that sign. Row 96 has no name.
struct StaffRows {
    Table<StaffRow, kRowCount> rows;

    const StaffRow& operator[](int row) const { return rows[row]; }
};
StaffRows staffRowsFrom(const Table<std::string, kRowCount>& rowNames,
                        const Table<std::uint8_t, kRowCount>& rowMidi);
inline StaffRows staffRowsOf(const NoteTables& tables) {
    return staffRowsFrom(tables.rowNames, tables.rowMidi);
}

// The pitch row `row` sounds with sign `sign` (+1 sharp, -1 flat, 0 natural).
// The key signature's own sign gives exactly the row tables' entry; a row
// without a name always sounds its table entry.
SpelledPitch rowPitch(const StaffRows& rows, int row, int sign);

// The sign in force on `row` for a note standing at `slot` of a measure: that
// of the last accidental mark on the row in slots 0..slot-1, or the key
// signature's when there is none.
int signInForce(const Measure& measure, int slot, int row, const StaffRows& rows);

// The pitch a note on `row` placed at `slot` of a measure sounds, the marks
// before it on its row in its measure counted.
inline SpelledPitch pitchAtSlot(const Measure& measure, int slot, int row, const StaffRows& rows) {
    return rowPitch(rows, row, signInForce(measure, slot, row, rows));
}

}  // namespace tsuzuri
