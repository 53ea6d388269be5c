#pragma once

#include <ostream>
#include <string_view>
#include <vector>

namespace tsuzuri::test {

// One note or rest as a player hears an MML text.
struct Heard {
    bool rest = false;
    int key = 0;          // MIDI key, O4C being 60; 0 for rests
    long length = 0;      // in fifteenths of a tick: 1920 to the whole note
    int velocity = 0;     // 8 * the V in force, 64 before any; 0 for rests
    bool joined = false;  // "&" follows: the note joins the next one
    bool operator==(const Heard&) const = default;
};

struct HeardMml {
    int tempo = 120;
    std::vector<Heard> heard;
    bool operator==(const HeardMml&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Heard& h) {
    if (h.rest)
        return out << "rest " << h.length;
    return out << "note " << h.key << " " << h.length << " v" << h.velocity
               << (h.joined ? " &" : "");
}

inline std::ostream& operator<<(std::ostream& out, const HeardMml& mml) {
    out << "T" << mml.tempo;
    for (const Heard& h : mml.heard)
        out << ", " << h;
    return out;
}

// Reads MML as a player does, in either case: octave 4 and length 4 to start
// with, "O", ">", "<", "L", notes A..G with "#"/"+"/"-", rests "R", lengths
// 1..64 and the tuplet lengths (3, 6 ... 96; 5, 10 ... 80) with a dot, "V",
// "T" and "&". White space is skipped; anything else fails the calling test.
HeardMml hearMml(std::string_view text);

// A note as a MIDI file of the text plays it, in whole ticks (32 to the
// quarter note), each end rounded to the nearest tick.
struct Played {
    long on = 0;
    long off = 0;
    int key = 0;
    int velocity = 0;
    bool operator==(const Played&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Played& p) {
    return out << "key " << p.key << " " << p.on << ".." << p.off << " v" << p.velocity;
}

// The notes an MML text plays: a note joined by "&" to a next note of the
// same key lasts on through it (at its own velocity), joined notes of
// different keys sound apart, and notes at velocity 0 do not sound.
std::vector<Played> playedNotes(const HeardMml& mml);

}  // namespace tsuzuri::test
