#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tsuzuri {

// The shortened form of an MML text and its length in characters.
struct OptimizedMml {
    std::string text;
    std::size_t characters = 0;
};

// Rewrites an MML text (UTF-8) into a shorter equivalent that plays the same:
// uppercase (ASCII letters only), without " ", with the most profitable
// default length declared by "L" and dropped from the notes (or, when no
// length beats the quarter note, the quarter lengths dropped), and with
// absolute octave commands turned into ">" and "<" where the octave moves by
// one from the running octave, which starts at 4 and follows ">" and "<".
// Only the fourteen lengths written right after a note or rest are counted
// and dropped; an "L" in the text is applied and taken out, and a note
// without a length gets the one then in force. The numbers of "O", "T", "V"
// and tuplet lengths are never counted or dropped. `doubleLength` doubles
// every one of the fourteen lengths, a whole note into two tied ones
// ("C1&C1", rests "R1R1"). Other characters, "&", full-width spaces
// and line breaks among them, pass through. Linear in the text.
OptimizedMml optimizeMml(std::string_view text, bool doubleLength);

// The number of characters of a UTF-8 text as a user counts them: Unicode code
// points, so "ド" is one character and a line break "\n" one.
std::size_t countCharacters(std::string_view utf8);

// The caption that shows the length of an optimized text: " 57文字".
std::string lengthCaption(std::size_t characters);

}  // namespace tsuzuri
