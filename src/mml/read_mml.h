#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "music/interpretation.h"

namespace tsuzuri {

// A place in a text: line and column, both from 1; a column counts characters,
// so a full-width character is one.
struct TextPlace {
    int line = 1;
    int column = 1;

    bool operator==(const TextPlace&) const = default;
};

// What is wrong with an MML text.
enum class MmlFault : std::uint8_t {
    Unreadable,      // a character that means nothing here
    MissingNumber,   // O, L, T or V without its number
    BadLength,       // a length outside the list, or none after L
    DoubleDot,       // a second dot, or a dot after a dotted default length
    DottedTuplet,    // a dot on a tuplet length
    OctaveRange,     // O outside 0..8, or < or > leaving 0..8
    VolumeRange,     // V above 15
    TempoRange,      // T outside 32..255
    TempoAfterNote,  // T after the first note or rest
    LooseLink,       // & without a note before it or after it
    BrokenTuplet,    // tuplet lengths not in whole groups of one length
};

struct MmlError {
    MmlFault fault = MmlFault::Unreadable;
    TextPlace place;
    std::string token;  // the text at fault, as written
    int tuplet = 0;     // BrokenTuplet: the group's size, 3 or 5
};

// An MML text read as the events a track's interpretation would give: notes
// (spelled as written, with their written length, tuplet and velocity), rests,
// V marks, links for "&" (a tie when both notes sound one key), and before
// each tuplet group a Mark with the tuplet arc's palette index. Times are
// exact; no event has a measure or slot yet.
struct MmlReading {
    TrackInterpretation music;
    std::vector<TextPlace> places;  // where the token of each event starts
    std::optional<int> tempo;       // the last T, when the text has one
    std::optional<MmlError> error;  // set: nothing else is meaningful
};

// Reads one track of MML in the dialect the compiler and the optimizer write
// and composers type: either case; spaces, tabs, line breaks and full-width
// spaces ignored; notes A..G with one "#", "+" or "-", a length and one dot;
// rests R likewise; the lengths 1, 2, 4 ... 64, the triplet lengths 3, 6 ... 96
// and the quintuplet lengths 5, 10 ... 80; O0..O8 (O4C is MIDI 60), > and <;
// L with a length and one dot (4 to start with); T32..T255 before the first
// note or rest; V0..V15; & between two notes. The first fault found stops it.
MmlReading readMml(std::string_view text);

// The MML letter and, for a tuplet, the group size of length number n: the
// written length index 0..13 ("64" ... "1.") of an undotted length, or
// nothing when n is no length of the dialect.
struct MmlLength {
    std::int8_t lengthIndex = 0;
    std::int8_t tuplet = 0;  // 3, 5 or 0
};
std::optional<MmlLength> mmlLength(int n);

// What a fault means, in Japanese, with the token at fault: "長さ「7」は使えません".
std::string mmlFaultText(const MmlError& error);

// "3行12列" for a place.
std::string placeText(const TextPlace& place);

}  // namespace tsuzuri
