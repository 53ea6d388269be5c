#pragma once

#include "state/palette_index.h"

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

inline SlotKind slotKind(int index) {
    if (isNoteIndex(index))
        return SlotKind::Note;
    if (isRestIndex(index))
        return SlotKind::Rest;
    if (isAccidentalIndex(index))
        return SlotKind::Accidental;
    if (index == kArcIndex)
        return SlotKind::Arc;
    if (isArcIndex(index))
        return SlotKind::Tuplet;
    if (isVolumeIndex(index))
        return SlotKind::Volume;
    return SlotKind::Other;
}

// The sign an accidental mark gives its row: +1 sharp, -1 flat, 0 natural.
inline int accidentalSign(int index) {
    return index == kSharpIndex ? 1 : index == kFlatIndex ? -1 : 0;
}

// The accidental mark that gives a row the sign `sign`.
inline int accidentalMarkFor(int sign) {
    return sign > 0 ? kSharpIndex : sign < 0 ? kFlatIndex : kNaturalIndex;
}

// The number of members of a tuplet mark's group: 3 or 5.
inline int tupletCount(int index) {
    return index == kTripletArcIndex ? 3 : 5;
}

}  // namespace tsuzuri
