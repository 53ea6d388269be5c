#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace tsuzuri::test {

// One sounding note or rest as a player hears an MML text.
struct Heard {
    bool rest = false;
    int pitch = 0;  // 12 * octave + semitone (+1 "#", -1 "-"); 0 for rests
    int ticks = 0;  // 32 to the quarter note
    bool operator==(const Heard&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Heard& h) {
    if (h.rest)
        return out << "rest " << h.ticks;
    return out << "note " << h.pitch << " " << h.ticks;
}

// Reads MML as a player does: octave 4 and length 4 to start with, "O", ">",
// "<", "L", notes A..G with "#"/"+"/"-", rests "R", lengths with a dot.
// White space is skipped; anything else fails the calling test.
std::vector<Heard> hearMml(std::string_view text);

}  // namespace tsuzuri::test
