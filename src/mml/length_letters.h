#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "state/tables.h"

namespace tsuzuri {

// The fourteen MML note lengths, whose texts noteLengthText gives.
inline constexpr int kNoteLengthCount = kNoteLengths;

// The letter that stands for length entry `index`: 'a' + index.
char lengthLetter(int index);

// Whether `c` is a length letter: 'a'..'n'.
inline bool isLengthLetter(char c) {
    return c >= 'a' && c < 'a' + kNoteLengthCount;
}

// Appends the lettered length entry `entry` for the note or rest whose text
// before its length, `head` ("C#", "R"), `out` ends with. With `doubleLength`
// it is the letter of the length twice as long; a whole note doubled has no
// length of its own, so it is written as two whole notes of its kind, tied
// ("C1&C1"), and a rest as two rests ("R1R1").
void appendLengthLetter(std::string& out, std::string_view head, int entry, bool doubleLength);

// Where the length of the note or rest whose letter stands at `i` would
// begin: after a rest's "R", after a note's letter A..G and one "#", "+" or
// "-" if there is one. `i` itself when text[i] starts no note or rest.
std::size_t lengthStart(std::string_view text, std::size_t i);

// The end of a length text starting at `i`: its digits, then one dot if
// digits came. `i` itself when no digit stands there.
std::size_t lengthEnd(std::string_view text, std::size_t i);

// The length entry of a length text ("8." is entry 7), or -1 when it is none
// of the fourteen (a tuplet length such as "12", any other number).
int lengthEntry(std::string_view length);

// Replaces the length of every note and rest of an uppercase, space-free MML
// text by one lower-case letter, so that lengths can be counted and dropped
// by plain character search. Only a length right after a note or rest is one,
// and only the fourteen lengths become letters; every other number (of "O",
// "T", "V", "L", a tuplet length) stays as it is. With `doubleLength` every
// length is doubled as appendLengthLetter writes it ("8" is written as the
// letter of "4", "C1" as "C1&C1" in letters).
std::string enletter(std::string_view text, bool doubleLength);

// Turns the letters 'a'..'n' back into length texts.
std::string deletter(std::string_view text);

}  // namespace tsuzuri
