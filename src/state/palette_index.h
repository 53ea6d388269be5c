#pragma once

namespace tsuzuri {

// Palette indices. Palette button Command2(i) chooses index i, the cursor
// glyph shows it, and a placed slot keeps it as its length index, the absolute
// value of its glyph code:
//   0..13   notes "64", "64.", "32" ... "1." (2k plain, 2k + 1 dotted);
//           12 and 13, the whole notes, have no stem
//   14..27  rests of the same lengths, in the same order
//   28..30  accidentals: sharp, flat, natural
//   31..33  arcs: a tie or slur, the arc of a triplet, of a quintuplet
//   34      the selection tool
//   35..50  volume marks V0..V15
inline constexpr int kNoteLengths = 14;  // indices 0..13 are sounding notes
inline constexpr int kFirstWholeNoteIndex = 12;
inline constexpr int kFirstRestIndex = 14;
inline constexpr int kLengthCount = 28;  // indices 0..27 have ticks and length text
inline constexpr int kSharpIndex = 28;
inline constexpr int kFlatIndex = 29;
inline constexpr int kNaturalIndex = 30;
inline constexpr int kArcIndex = 31;
inline constexpr int kTripletArcIndex = 32;
inline constexpr int kQuintupletArcIndex = 33;
inline constexpr int kSelectionToolIndex = 34;
inline constexpr int kFirstVolumeIndex = 35;
inline constexpr int kLastPaletteIndex = 50;
inline constexpr int kPaletteCount = kLastPaletteIndex + 1;

inline bool isNoteIndex(int i) {
    return i >= 0 && i < kNoteLengths;
}
inline bool isRestIndex(int i) {
    return i >= kFirstRestIndex && i < kLengthCount;
}
// A note drawn with a stem, whose direction follows the staff position; whole
// notes, rests and marks are always stored stem-down.
inline bool isStemmedIndex(int i) {
    return i >= 0 && i < kFirstWholeNoteIndex;
}
inline bool isAccidentalIndex(int i) {
    return i >= kSharpIndex && i <= kNaturalIndex;
}
inline bool isArcIndex(int i) {
    return i >= kArcIndex && i <= kQuintupletArcIndex;
}
inline bool isVolumeIndex(int i) {
    return i >= kFirstVolumeIndex && i <= kLastPaletteIndex;
}
// The volume 0..15 of volume mark index i.
inline int volumeOfIndex(int i) {
    return i - kFirstVolumeIndex;
}

}  // namespace tsuzuri
