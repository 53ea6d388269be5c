#include "music/interpretation.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "music/bars.h"
#include "music/marks.h"
#include "state/tables.h"

namespace tsuzuri {

namespace {

// The longest written length a tuplet of 3 (5) may hold: the half (quarter)
// note; every shorter undotted length down to the sixty-fourth.
constexpr int kLongestTriplet = 10;
constexpr int kLongestQuintuplet = 8;

MusicEvent eventOf(int index) {
    MusicEvent e;
    e.paletteIndex = static_cast<std::int8_t>(index);
    switch (slotKind(index)) {
        case SlotKind::Note:
        case SlotKind::Rest:
            e.kind = index < kNoteLengths ? EventKind::Note : EventKind::Rest;
            e.lengthIndex = static_cast<std::int8_t>(index % kNoteLengths);
            break;
        case SlotKind::Volume:
            e.kind = EventKind::Volume;
            e.volume = static_cast<std::int8_t>(volumeOfIndex(index));
            break;
        default:
            e.kind = EventKind::Mark;
            break;
    }
    return e;
}

MusicEvent slotEvent(const Measure& measure, int m, int slot) {
    MusicEvent e = eventOf(std::abs(measure.noteAttr[slot][kAttrCode]));
    e.measure = static_cast<std::int16_t>(m);
    e.slot = static_cast<std::int16_t>(slot);
    return e;
}

int slotCount(const Measure& measure) {
    return std::clamp<int>(measure.noteCount, 0, kSlotCount);
}

// The events of measures 0..lastMeasure, slot by slot; begins[m] is the first
// event of measure m and begins[m + 1] the one after its last.
std::vector<int> collectSlots(const TrackScore& track, TrackInterpretation& r) {
    const int last = std::min<int>(track.lastMeasure, kMeasureCount - 1);
    std::size_t total = 0;
    for (int m = 0; m <= last; ++m)
        total += static_cast<std::size_t>(slotCount(track.measures[m]));
    r.events.reserve(total);
    std::vector<int> begins;
    begins.reserve(static_cast<std::size_t>(std::max(last, 0) + 2));
    for (int m = 0; m <= last; ++m) {
        begins.push_back(static_cast<int>(r.events.size()));
        const Measure& measure = track.measures[m];
        const int count = slotCount(measure);
        for (int slot = 0; slot < count; ++slot)
            r.events.push_back(slotEvent(measure, m, slot));
    }
    begins.push_back(static_cast<int>(r.events.size()));
    return begins;
}

bool isTimed(const MusicEvent& e) {
    return e.kind == EventKind::Note || e.kind == EventKind::Rest;
}

// Makes the members of the tuplet arc at event `arc` a group when its rule
// holds; events [arc + 1, end) are the rest of its measure.
void formTuplet(TrackInterpretation& r, int arc, int end) {
    const int count = tupletCount(r.events[static_cast<std::size_t>(arc)].paletteIndex);
    const int longest = count == 3 ? kLongestTriplet : kLongestQuintuplet;
    std::array<int, 5> members{};
    int found = 0;
    for (int i = arc + 1; i < end && found < count; ++i) {
        if (isTimed(r.events[static_cast<std::size_t>(i)]))
            members[static_cast<std::size_t>(found++)] = i;
    }
    if (found < count)
        return;
    const int length = r.events[static_cast<std::size_t>(members[0])].lengthIndex;
    if (length % 2 != 0 || length > longest)
        return;
    for (int k = 0; k < count; ++k) {
        const MusicEvent& e = r.events[static_cast<std::size_t>(members[k])];
        if (e.lengthIndex != length || e.tuplet != 0)
            return;
    }
    for (int k = 0; k < count; ++k)
        r.events[static_cast<std::size_t>(members[k])].tuplet = static_cast<std::int8_t>(count);
}

void markTuplets(TrackInterpretation& r, const std::vector<int>& begins) {
    for (std::size_t m = 0; m + 1 < begins.size(); ++m) {
        for (int i = begins[m]; i < begins[m + 1]; ++i) {
            if (slotKind(r.events[static_cast<std::size_t>(i)].paletteIndex) == SlotKind::Tuplet)
                formTuplet(r, i, begins[m + 1]);
        }
    }
}

// A member of a group of 3 lasts 2/3 of its written ticks, of 5 4/5: in
// fifteenths of a tick 10 and 12 units a written tick.
ExactTime soundingLength(const MusicEvent& e) {
    const ExactTime perTick = e.tuplet == 3 ? 10 : e.tuplet == 5 ? 12 : kExactPerTick;
    return perTick * noteLengthTicks(e.lengthIndex);
}

// Gives every note and rest the length it sounds, tuplet members their share.
void assignLengths(TrackInterpretation& r) {
    for (MusicEvent& e : r.events) {
        if (isTimed(e))
            e.length = soundingLength(e);
    }
}

// The time events [begin, end) hold, once their lengths are known.
ExactTime heldTime(const TrackInterpretation& r, int begin, int end) {
    ExactTime held = 0;
    for (int i = begin; i < end; ++i)
        held += r.events[static_cast<std::size_t>(i)].length;
    return held;
}

MusicEvent completionRest(int m, int lengthIndex) {
    MusicEvent e;
    e.kind = EventKind::Rest;
    e.measure = static_cast<std::int16_t>(m);
    e.lengthIndex = static_cast<std::int8_t>(lengthIndex);
    e.length = exactTicks(noteLengthTicks(lengthIndex));
    return e;
}

// The whole ticks measure m lacks of a full bar when it is short, else 0.
int missingTicks(const TrackInterpretation& r, const std::vector<int>& begins, int m, int bar,
                 int last) {
    const ExactTime held = heldTime(r, begins[static_cast<std::size_t>(m)],
                                    begins[static_cast<std::size_t>(m) + 1]);
    if (barFit(held, bar, m, last) != BarFit::Short)
        return 0;
    return static_cast<int>((exactTicks(bar) - held) / kExactPerTick);
}

// Puts the rests that complete every short measure right after its slots,
// rebuilding the events once rather than inserting into them measure by
// measure. Under the free meter, or with no short measure, nothing changes.
void completeBars(TrackInterpretation& r, const std::vector<int>& begins, Meter meter) {
    const int bar = barTicks(meter);
    if (bar == 0)
        return;
    int last = static_cast<int>(begins.size()) - 2;  // the last measure with a slot
    while (last >= 0 &&
           begins[static_cast<std::size_t>(last)] == begins[static_cast<std::size_t>(last) + 1])
        --last;
    int shortMeasures = 0;
    for (int m = 0; m < last; ++m)
        shortMeasures += missingTicks(r, begins, m, bar, last) > 0 ? 1 : 0;
    if (shortMeasures == 0)
        return;
    std::vector<MusicEvent> events;
    events.reserve(r.events.size() + 4 * static_cast<std::size_t>(shortMeasures));
    for (int m = 0; m + 1 < static_cast<int>(begins.size()); ++m) {
        const int begin = begins[static_cast<std::size_t>(m)];
        const int end = begins[static_cast<std::size_t>(m) + 1];
        events.insert(events.end(), r.events.begin() + begin, r.events.begin() + end);
        const CompletionRests rests = completionRests(missingTicks(r, begins, m, bar, last));
        for (int k = 0; k < rests.count; ++k)
            events.push_back(completionRest(m, rests.lengths[k]));
    }
    r.events = std::move(events);
}

void assignTimes(TrackInterpretation& r) {
    ExactTime t = 0;
    for (MusicEvent& e : r.events) {
        e.start = t;
        t += e.length;
    }
    r.end = t;
}

constexpr std::int8_t kNoMark = 2;

// Gives every note its pitch and velocity and decides which arcs link.
class Speller {
public:
    Speller(TrackInterpretation& r, const TrackScore& track, const StaffRows& rows)
        : r_(r), track_(track), rows_(rows) {}

    void run() {
        for (std::size_t i = 0; i < r_.events.size(); ++i) {
            MusicEvent& e = r_.events[i];
            if (e.measure != measure_) {
                measure_ = e.measure;
                marks_.fill(kNoMark);
            }
            visit(static_cast<int>(i), e);
        }
    }

private:
    int rowOf(const MusicEvent& e) const { return track_.measures[e.measure].noteRow[e.slot]; }

    void visit(int i, MusicEvent& e) {
        const int index = e.paletteIndex;
        switch (e.kind) {
            case EventKind::Note:
                spell(i, e);
                break;
            case EventKind::Rest:
                lastNote_ = -1;
                arc_ = -1;
                break;
            case EventKind::Volume:
                velocity_ = volumeVelocity(e.volume);
                break;
            default:
                if (slotKind(index) == SlotKind::Accidental)
                    marks_[rowOf(e)] = static_cast<std::int8_t>(accidentalSign(index));
                else if (slotKind(index) == SlotKind::Arc && lastNote_ >= 0 && arc_ < 0)
                    arc_ = i;
                break;
        }
    }

    void spell(int i, MusicEvent& e) {
        const int row = rowOf(e);
        const std::int8_t mark = marks_[row];
        e.pitch = rowPitch(rows_, row, mark == kNoMark ? rows_[row].keySign : mark);
        e.velocity = velocity_;
        if (arc_ >= 0) {
            const MusicEvent& before = r_.events[static_cast<std::size_t>(lastNote_)];
            // A tie carries its sign across the bar line to its own row.
            if (e.measure > before.measure && row == rowOf(before) && mark == kNoMark)
                e.pitch = before.pitch;
            MusicEvent& link = r_.events[static_cast<std::size_t>(arc_)];
            link.kind = EventKind::Link;
            link.tie = e.pitch.key == before.pitch.key;
        }
        lastNote_ = i;
        arc_ = -1;
    }

    TrackInterpretation& r_;
    const TrackScore& track_;
    const StaffRows& rows_;
    int measure_ = -1;
    Table<std::int8_t, kRowCount> marks_;  // the sign of the last mark on each row
    int lastNote_ = -1;                    // the nearest note before, no rest since
    int arc_ = -1;                         // the first arc after it
    std::uint8_t velocity_ = kStartVelocity;
};

}  // namespace

// The passes in order: what a slot is, which notes form tuplets, how long
// each sounds, the rests that complete short measures, where every event
// starts, then pitches, links and velocities, which depend on no time (a
// completion rest breaks a link as any rest does).
TrackInterpretation interpretTrack(const TrackScore& track, const StaffRows& rows, int tempo,
                                   Meter meter) {
    TrackInterpretation r;
    r.tempo = tempo;
    const std::vector<int> begins = collectSlots(track, r);
    markTuplets(r, begins);
    assignLengths(r);
    completeBars(r, begins, meter);
    assignTimes(r);
    Speller(r, track, rows).run();
    return r;
}

ExactTime measureTime(const Measure& measure) {
    TrackInterpretation r;
    const int count = slotCount(measure);
    r.events.reserve(static_cast<std::size_t>(count));
    for (int slot = 0; slot < count; ++slot)
        r.events.push_back(slotEvent(measure, 0, slot));
    markTuplets(r, {0, count});
    assignLengths(r);
    return heldTime(r, 0, count);
}

MusicEvent placedEvent(const Measure& measure, int slot, int row, int index,
                       const StaffRows& rows) {
    MusicEvent e = eventOf(index);
    if (e.kind == EventKind::Note) {
        e.pitch = pitchAtSlot(measure, slot, row, rows);
        e.velocity = kStartVelocity;
    }
    if (e.kind == EventKind::Note || e.kind == EventKind::Rest)
        e.length = exactTicks(noteLengthTicks(e.lengthIndex));
    return e;
}

}  // namespace tsuzuri
