#pragma once

#include <string>
#include <string_view>

#include "state/editor_state.h"
#include "state/units.h"

namespace tsuzuri {

// The on-screen piano: 58 keys in semitone order, key k sounding MIDI note
// k + 24 (O1C up to O5A as the score names pitches).
inline constexpr int kPianoKeyCount = 58;
inline constexpr int kLowestKeyPitch = 24;

// A key's rectangle inside the keyboard panel, in twips.
struct KeyRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

bool isBlackKey(int key);
int keyPitch(int key);
KeyRect keyRect(int key);
int keyHeightPixels(int key);

// The length a click y twips below a key's top edge enters. Keys taller than
// 70 pixels use the white-key zones, others the black-key zones; each bound
// belongs to the zone below it.
std::string_view zoneLength(double y, int keyHeightPixels);

// The name of MIDI note `pitch` as the score and every MML reader take it,
// sharps for the black keys: 60 is "O4C", 61 "O4C#", 24 "O1C".
std::string pitchNameOf(int pitch);

// What a press on a key does besides framing it: the pitch to sound, the
// read-out of the click offsets, and the note text (pitch name and length,
// "O4C8"), which goes into the MML text followed by a space and, in
// keyboard-entry mode, into the score.
struct KeyPress {
    int pitch = 0;
    std::string readout;
    std::string noteText;
};
KeyPress pressKey(int key, double x, double y);

}  // namespace tsuzuri
