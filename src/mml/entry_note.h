#pragma once

#include <optional>
#include <string_view>

namespace tsuzuri {

// A note text of the on-screen piano ("O4C8", "O4C#8.") read for the score,
// named as the score names pitches: "O4C" is MIDI note 60.
struct EntryNote {
    int octave = 0;        // the octave digit: staff rows count octaves from 0 at C1
    int letter = 0;        // 0 = C, 1 = D ... 6 = B
    int accidental = 0;    // 1 with "#", -1 with "-" (which wins when both occur), else 0
    bool dotted = false;   // the text holds a "."
    int step = 0;          // 7 * octave + letter: the natural note's staff step
    int lengthIndex = -1;  // among the note lengths "64" ... "1."; -1 when none matches
};

// The MIDI note a note text names: 12 * (octave + 1) + the letter's semitone
// + the accidental.
int entryPitch(const EntryNote& note);

// Reads a note text: "O", the octave digit, the letter A..G, then the length
// digits after an accidental and the dot. Nothing when the text does not start
// with "O", a digit and a letter. The accidental is no part of the staff step.
std::optional<EntryNote> parseEntryNote(std::string_view text);

}  // namespace tsuzuri
