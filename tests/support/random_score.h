#pragma once

#include <random>

#include "keysig/key_signature.h"
#include "support/score_builder.h"

namespace tsuzuri::test {

// A random track t with every kind of slot the palette offers, under a random
// octave setting and key signature. Rows cluster, so that marks meet notes on
// their rows; arcs stand between notes, tuplet arcs before runs of one
// length (sometimes broken), accidentals before notes, V marks anywhere.
class RandomScore {
public:
    explicit RandomScore(std::uint32_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // An empty score under a random octave setting and key signature, with a
    // random program for track t.
    void clear(EditorState& s, int t) {
        const int octave = pick(0, 8);
        init(s);
        nt_init(s, octave);
        s.piece.octave = static_cast<std::int16_t>(octave);
        applyKeySignatureRows(s, pick(-7, 7), octave);
        s.piece.score[t].trackProgram = static_cast<std::uint8_t>(pick(0, 127));
    }

    void fill(EditorState& s, int t) {
        clear(s, t);
        TrackScore& track = s.piece.score[t];
        track.lastMeasure = static_cast<std::int16_t>(pick(0, 6));
        baseRow_ = pick(3, 40);
        for (int m = 0; m <= track.lastMeasure; ++m) {
            const int slots = pick(0, kSlotCount);
            while (track.measures[m].noteCount < slots)
                addPhrase(s, t, m, slots);
        }
    }

private:
    int row() { return baseRow_ + pick(0, 3); }
    int sign() { return pick(0, 1) ? 1 : -1; }

    void add(EditorState& s, int t, int m, int row, int index) {
        if (s.piece.score[t].measures[m].noteCount < kSlotCount)
            appendSlot(s, t, m, row, sign() * index);
    }

    void addPhrase(EditorState& s, int t, int m, int slots) {
        const int room = slots - s.piece.score[t].measures[m].noteCount;
        switch (pick(0, 9)) {
            case 0: {  // a tuplet arc and a run of one length, sometimes dotted or too short
                const int count = pick(0, 1) ? 3 : 5;
                add(s, t, m, row(), count == 3 ? 32 : 33);
                const int length = 2 * pick(0, 6) + (pick(0, 7) == 0 ? 1 : 0);
                for (int k = std::min(count + pick(-1, 1), room); k > 0; --k)
                    add(s, t, m, row(), pick(0, 4) == 0 ? 14 + length : length);
                break;
            }
            case 1:
            case 2:
                add(s, t, m, row(), pick(28, 31));  // an accidental or an arc
                break;
            case 3:
                add(s, t, m, row(), pick(35, 50));
                break;
            case 4:
                add(s, t, m, row(),
                    pick(0, 3) == 0 ? (pick(0, 1) ? 34 : pick(51, 64)) : pick(14, 27));
                break;
            default:
                add(s, t, m, row(), pick(0, 13));
                break;
        }
    }

    std::mt19937 rng_;
    int baseRow_ = 20;
};

}  // namespace tsuzuri::test
