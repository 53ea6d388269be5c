#pragma once

namespace tsuzuri {

// What a slot's palette index (the absolute value of its glyph code) means
// for the sound: a note or rest of length index 0..13 (rests 14..27), one of
// the palette's marks, or an index that means nothing to the sound.
enum class SlotKind {
    Note,
    Rest,
    Accidental,  // sharp, flat, natural
    Arc,         // the plain arc: a tie or a slur
    Tuplet,      // the arc with 3 or with 5
    Volume,      // V0..V15
    Other,       // the selection tool and indices beyond the palette
};

inline constexpr int kSharpMark = 28;
inline constexpr int kFlatMark = 29;
inline constexpr int kNaturalMark = 30;
inline constexpr int kArcMark = 31;
inline constexpr int kTripletMark = 32;
inline constexpr int kQuintupletMark = 33;
inline constexpr int kFirstVolumeMark = 35;  // V0; V v is 35 + v
inline constexpr int kLastVolumeMark = 50;

inline SlotKind slotKind(int index) {
    if (index >= 0 && index < 14)
        return SlotKind::Note;
    if (index >= 14 && index < 28)
        return SlotKind::Rest;
    if (index >= kSharpMark && index <= kNaturalMark)
        return SlotKind::Accidental;
    if (index == kArcMark)
        return SlotKind::Arc;
    if (index == kTripletMark || index == kQuintupletMark)
        return SlotKind::Tuplet;
    if (index >= kFirstVolumeMark && index <= kLastVolumeMark)
        return SlotKind::Volume;
    return SlotKind::Other;
}

// The sign an accidental mark gives its row: +1 sharp, -1 flat, 0 natural.
inline int accidentalSign(int index) {
    return index == kSharpMark ? 1 : index == kFlatMark ? -1 : 0;
}

// The accidental mark that gives a row the sign `sign`.
inline int accidentalMarkFor(int sign) {
    return sign > 0 ? kSharpMark : sign < 0 ? kFlatMark : kNaturalMark;
}

// The number of members of a tuplet mark's group: 3 or 5.
inline int tupletCount(int index) {
    return index == kTripletMark ? 3 : 5;
}

}  // namespace tsuzuri
