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

// Rewrites an MML text (UTF-8) into a shorter equivalent: uppercase (ASCII
// letters only), without " ", with the most profitable default length declared
// by "L" and dropped from the notes (or, when no length beats the quarter note,
// the quarter lengths dropped), and with absolute octave commands turned into
// ">" and "<" where the octave moves by one from the running octave, which
// starts at 4. `doubleLength` doubles every length. Other characters, full-width
// spaces and line breaks among them, pass through. Linear in the text.
//
// The text is expected in the form the editor writes: every note with its
// octave command and its length.
OptimizedMml optimizeMml(std::string_view text, bool doubleLength);

// The number of characters of a UTF-8 text as a user counts them: Unicode code
// points, so "ド" is one character and a line break "\n" one.
std::size_t countCharacters(std::string_view utf8);

// The caption that shows the length of an optimized text: " 57文字".
std::string lengthCaption(std::size_t characters);

}  // namespace tsuzuri
