#pragma once

#include <string>
#include <string_view>

#include "music/interpretation.h"

namespace tsuzuri {

// The MML text of an interpreted track, one token and a space for each event
// in play order: a note's name (its sign after the letter) and length
// ("O4F#4 "), a rest ("r8 "), a V mark ("V10 "), a linking arc "& ", any
// other mark the space alone. Tuplet members carry the tuplet's length number
// ("O4C12 ", "r20 "). A tempo other than 120 opens the text ("T90 ").
std::string writeMml(const TrackInterpretation& music);

// The token of one event and its space, as writeMml writes it.
void appendMmlToken(std::string& out, const MusicEvent& e);

// The length number of a member of a tuplet of 3 or 5 whose written length is
// note length `lengthIndex`: the written number times 3/2 (5/4), so that
// three (five) of them fill two (four) written notes.
std::string_view tupletLengthText(int lengthIndex, int tuplet);

}  // namespace tsuzuri
