#pragma once

#include <memory>
#include <random>

#include "keysig/key_signature.h"
#include "music/interpretation.h"
#include "score/layout.h"
#include "score/score_ops.h"
#include "state/tables.h"

namespace tsuzuri::test {

// A random track whose every measure but the last lasts a 4/4 bar exactly,
// with every kind of slot: notes and rests of every length, accidentals
// before notes, arcs between notes and across bar lines, tuplet arcs before
// runs that form a group or do not, V marks, indices without meaning.
class BarredScore {
public:
    explicit BarredScore(std::uint32_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // An empty score under an octave setting whose rows the pointer reaches
    // are each named once (3 or 4) and a random key signature.
    void clear(EditorState& s) {
        const int octave = pick(3, 4);
        init(s);
        nt_init(s, octave);
        s.piece.octave = static_cast<std::int16_t>(octave);
        applyKeySignatureRows(s, pick(-7, 7), octave);
    }

    void fill(EditorState& s, int t) {
        clear(s);
        fillTrack(s, t);
    }

    // Track t filled, the rest of the score as it is.
    void fillTrack(EditorState& s, int t) {
        TrackScore& track = s.piece.score[t];
        track.trackProgram = static_cast<std::uint8_t>(pick(0, 127));
        track.lastMeasure = static_cast<std::int16_t>(pick(0, 5));
        baseRow_ = pick(3, 36);
        for (int m = 0; m <= track.lastMeasure; ++m) {
            do {
                track.measures[m] = Measure{};
                while (track.measures[m].noteCount < 17 && left(track.measures[m]) > 0)
                    addPhrase(track.measures[m], left(track.measures[m]));
            } while (!complete(track.measures[m], m == track.lastMeasure));
        }
    }

private:
    // The ticks the measure still lacks of a bar; -1 when it is past the bar
    // or off the tick.
    static int left(const Measure& measure) {
        auto one = std::make_unique<TrackScore>();
        one->measures[0] = measure;
        const ExactTime time = interpretTrack(*one, StaffRows{}).end;
        if (time % kExactPerTick != 0 || time > exactTicks(128))
            return -1;
        return 128 - static_cast<int>(time / kExactPerTick);
    }

    // Fills the measure to the bar with rests, or leaves the last one short.
    // A rest added after a tuplet arc's short run can complete its group and
    // shorten the measure again: the measure is measured once more at the end.
    bool complete(Measure& measure, bool last) {
        int ticks = left(measure);
        if (ticks < 0 || ticks == 1)
            return false;
        if (last && pick(0, 1) == 0)
            return true;
        for (int index = kNoteLengths - 1; index >= 0 && ticks > 0; --index) {
            const int length = noteLengthTicks(index);
            while (ticks >= length && ticks - length != 1 &&
                   measure.noteCount < kMaxNotesPerMeasure) {
                add(measure, row(), kFirstRestIndex + index);
                ticks -= length;
            }
        }
        return ticks == 0 && left(measure) == 0;
    }

    int row() { return std::min(baseRow_ + pick(0, 5), kHighestReachedRow); }

    // A note length of at most `ticks`, mostly plain.
    int lengthWithin(int ticks) {
        int index = pick(0, kNoteLengths - 1);
        while (index > 0 && noteLengthTicks(index) > ticks)
            --index;
        return index;
    }

    void add(Measure& measure, int row, int index) {
        if (measure.noteCount >= kMaxNotesPerMeasure)
            return;
        const int code = index > 11 || pick(0, 1) ? -index : index;
        insertSlot(measure, measure.noteCount,
                   {static_cast<std::int16_t>(10 * measure.noteCount), 0,
                    static_cast<std::int16_t>(code), static_cast<std::int16_t>(row)});
    }

    // Each random choice is drawn in its own statement, so that every
    // compiler makes the same staffs from a seed.
    void addPhrase(Measure& measure, int ticks) {
        switch (pick(0, 11)) {
            case 0: {  // a tuplet arc and a run of one length, sometimes no group
                const int count = pick(0, 1) ? 3 : 5;
                add(measure, row(), count == 3 ? kTripletArcIndex : kQuintupletArcIndex);
                const int plain =
                    std::min(lengthWithin(ticks / (count - 1)) & ~1, count == 3 ? 10 : 8);
                const int length = plain + (pick(0, 7) == 0 ? 1 : 0);
                for (int k = count + (pick(0, 5) == 0 ? -1 : 0); k > 0; --k) {
                    const int r = row();
                    add(measure, r, pick(0, 4) == 0 ? kFirstRestIndex + length : length);
                }
                break;
            }
            case 1: {  // an accidental and the note it alters
                const int r = row();
                add(measure, r, pick(kSharpIndex, kNaturalIndex));
                add(measure, r, lengthWithin(ticks));
                break;
            }
            case 2:
                add(measure, row(), kArcIndex);
                break;
            case 3: {
                const int r = row();
                add(measure, r,
                    pick(0, 3) ? pick(kFirstVolumeIndex, kLastPaletteIndex)
                               : (pick(0, 1) ? kSelectionToolIndex : pick(51, 64)));
                break;
            }
            case 4: {
                const int r = row();
                add(measure, r, kFirstRestIndex + lengthWithin(ticks));
                break;
            }
            default: {
                const int r = row();
                add(measure, r, lengthWithin(ticks));
                break;
            }
        }
    }

    std::mt19937 rng_;
    int baseRow_ = 20;
};

}  // namespace tsuzuri::test
