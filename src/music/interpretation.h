#pragma once

#include <cstdint>
#include <vector>

#include "music/exact_time.h"
#include "music/staff_rows.h"
#include "music/tempo.h"
#include "state/editor_state.h"

namespace tsuzuri {

// The one reading of a track that the MIDI chunk, the MML text and every
// later reader of the music share: its slots in play order (measures in
// order, slots in slot order), each turned into a timed event.
enum class EventKind : std::uint8_t {
    Note,    // a pitch for `length`; silent at velocity 0 (V0), its time still passes
    Rest,    // `length` of silence; a rest that completes a short measure
             // follows the measure's slots and stands for no slot
    Volume,  // a V mark: the notes after it play at velocity 8 * volume
    Link,    // a plain arc joining the note before it and the note after it
    Mark,    // a mark that neither sounds nor takes time: an accidental, a
             // tuplet arc, an arc that joins nothing, an index without meaning
};

struct MusicEvent {
    ExactTime start = 0;
    ExactTime length = 0;       // notes and rests; 0 for the others
    std::int16_t measure = -1;  // where the event stands in the score; -1 when it
    std::int16_t slot = -1;     // comes from no slot
    SpelledPitch pitch;         // notes
    EventKind kind = EventKind::Mark;
    // Notes and rests: the written length, an index 0..13 into the note
    // lengths ("64" ... "1."), rests as the note of the same length.
    std::int8_t lengthIndex = 0;
    // Notes and rests: 3 or 5 for a member of a tuplet group, which lasts
    // 2/3 or 4/5 of its written length; 0 otherwise.
    std::int8_t tuplet = 0;
    std::uint8_t velocity = 0;  // notes: the note-on velocity
    std::int8_t volume = 0;     // Volume: v of V v, 0..15
    bool tie = false;           // Link: both notes sound one key and merge into one
    // The palette index of the slot the event stands for (0..64), which tells
    // the marks apart; -1 when it comes from no slot.
    std::int8_t paletteIndex = -1;
};

struct TrackInterpretation {
    int tempo = kStandardTempo;
    std::vector<MusicEvent> events;
    ExactTime end = 0;  // where the last event ends: the track's own length
};

// The note-on velocity before the first V mark, and that of V v.
inline constexpr std::uint8_t kStartVelocity = 64;
inline constexpr std::uint8_t volumeVelocity(int v) {
    return static_cast<std::uint8_t>(8 * v);
}

// Reads measures 0..track.lastMeasure of a track with the staff rows of the
// piece, at `tempo`:
// - an accidental mark gives its row its sign for the later slots of its
//   measure, up to the next mark on that row;
// - a plain arc links the nearest note before it and after it when only
//   marks stand between them (the first arc between them; the note after may
//   lie in a later measure, where, on the same row without a mark before it,
//   it keeps the sign of the note before the arc). Linked notes of one key
//   are a tie, of different keys a slur;
// - a tuplet arc makes the next 3 (5) notes or rests of its measure a group
//   when they are undotted, of one written length from the half (quarter)
//   note down, and no member of an earlier group; each member then lasts 2/3
//   (4/5) of its written length;
// - a V mark sets the velocity of the notes after it, across measures;
// - under a meter, a measure before the last one that holds a slot and that
//   holds less than a full bar is completed by rests after its slots (see
//   bars.h); a plain arc across them links nothing.
// Anything a mark finds nothing to act on leaves it silent.
TrackInterpretation interpretTrack(const TrackScore& track, const StaffRows& rows,
                                   int tempo = kStandardTempo, Meter meter = kFreeMeter);

// The time the slots of a measure take in play, tuplet members at their
// sounding length: what the measure holds against a full bar.
ExactTime measureTime(const Measure& measure);

// The event a slot of palette index `index` on `row` is as it is placed at
// `slot` of a measure: a note with the pitch its row has there (the marks
// before it counted) and its written length, a rest, a V mark, or a mark
// that writes nothing. No tuplet or link is known yet: those take the slots
// around it.
MusicEvent placedEvent(const Measure& measure, int slot, int row, int index, const StaffRows& rows);

}  // namespace tsuzuri
