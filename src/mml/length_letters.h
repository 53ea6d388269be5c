#pragma once

#include <string>
#include <string_view>

#include "state/tables.h"

namespace tsuzuri {

// The fourteen MML note lengths, whose texts noteLengthText gives.
inline constexpr int kNoteLengthCount = kNoteLengths;

// The letter that stands for length entry `index`: 'a' + index.
char lengthLetter(int index);

// Replaces every length of an uppercase, space-free MML text by one lower-case
// letter, so that lengths can be counted and dropped by plain character
// search. With `doubleLength` every length takes the letter of the length twice
// as long ("8" is written as the letter of "4"); whole notes then get 'o' and
// 'p', which no later step turns back. Octave commands keep their digit.
std::string enletter(std::string_view text, bool doubleLength);

// Turns the letters 'a'..'n' back into length texts.
std::string deletter(std::string_view text);

}  // namespace tsuzuri
