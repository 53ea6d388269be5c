// What each mark of the palette does to the sound and the MML text of a track.
#include <gtest/gtest.h>

#include <initializer_list>

#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "mml/mml_writer.h"
#include "support/chunk_notes.h"
#include "support/random_score.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

using test::Played;

// Staff rows at octave setting 4.
constexpr int kC4 = 21, kF4 = 24, kG4 = 25, kB4 = 27, kF5 = 31;
// Palette indices.
constexpr int kQuarter = 8, kEighth = 6, kSixteenth = 4, kHalf = 10, kWhole = 12;
constexpr int kSharp = 28, kFlat = 29, kNatural = 30, kArc = 31, kArc3 = 32, kArc5 = 33;
constexpr int kRest = 14;
int volume(int v) {
    return 35 + v;
}

struct Slot {
    int row;
    int index;
};

class Marks : public ::testing::Test {
protected:
    void measure(int m, std::initializer_list<Slot> slots) {
        for (const Slot& slot : slots)
            test::appendSlot(*s_, 0, m, slot.row, slot.index > 11 ? -slot.index : slot.index);
    }
    CompiledTrack compiled(int tempo = kStandardTempo) {
        s_->piece.tempo = static_cast<std::int16_t>(tempo);
        return compileTrack(s_->piece, s_->tables, 0);
    }
    std::vector<Played> played() { return test::notesOfChunk(compiled().chunk).notes; }
    std::vector<int> keys() {
        std::vector<int> k;
        for (const Played& p : played())
            k.push_back(p.key);
        return k;
    }
    // The length in ticks of every note played.
    std::vector<long> ticks() {
        std::vector<long> t;
        for (const Played& p : played())
            t.push_back(p.off - p.on);
        return t;
    }

    // The marks are heard here on their own, in measures that take the time
    // they hold; how bars complete and break arcs is the bars' own test.
    std::unique_ptr<EditorState> s_ = freeState();
    static std::unique_ptr<EditorState> freeState() {
        auto s = test::newState();
        s->piece.meter = kFreeMeter;
        return s;
    }
};

TEST_F(Marks, AnAccidentalAltersLaterNotesOfItsRowInItsMeasure) {
    measure(0, {{kF4, kQuarter},
                {kF4, kSharp},
                {kF4, kQuarter},
                {kF5, kQuarter},  // F an octave up: another row
                {kG4, kQuarter},
                {kF4, kNatural},
                {kF4, kQuarter}});
    measure(1, {{kF4, kQuarter}});
    EXPECT_EQ(keys(), (std::vector<int>{65, 66, 77, 67, 65, 65}));
    EXPECT_EQ(compiled().mml, "O4F4  O4F#4 O5F4 O4G4  O4F4 O4F4 ");
}

TEST_F(Marks, AnAccidentalReplacesTheKeySignature) {
    applyKeySignatureRows(*s_, -1, 4);  // B flat
    measure(0, {{kB4, kQuarter},
                {kB4, kNatural},
                {kB4, kQuarter},
                {kB4, kFlat},
                {kB4, kQuarter},
                {kB4, kSharp},
                {kB4, kQuarter}});
    EXPECT_EQ(keys(), (std::vector<int>{70, 71, 70, 72}));
    EXPECT_EQ(compiled().mml, "O4B-4  O4B4  O4B-4  O4B#4 ");
}

TEST_F(Marks, ATieIsOneNoteAndCarriesItsSharpAcrossTheBarLine) {
    measure(0, {{kF4, kSharp}, {kF4, kQuarter}, {kF4, kArc}});
    measure(2, {{kF4, kHalf}, {kF4, kQuarter}});  // measure 1 empty
    s_->piece.score[0].lastMeasure = 2;
    EXPECT_EQ(played(), (std::vector<Played>{{0, 96, 66, 64}, {96, 128, 65, 64}}));
    EXPECT_EQ(compiled().mml, " O4F#4 & O4F#2 O4F4 ");
}

TEST_F(Marks, ArcsBetweenOtherKeysAreSlursAndArcsWithoutAPairAreSilent) {
    // The carried sign yields to a mark before the note in its measure.
    measure(0, {{kF4, kSharp}, {kF4, kQuarter}, {kF4, kArc}});
    measure(1, {{kF4, kNatural},
                {kF4, kQuarter},
                {kF4, kArc},
                {kF4, kArc},
                {kG4, kQuarter},
                {kG4, kArc},
                {0, kRest + kQuarter},
                {kG4, kQuarter},
                {kG4, kArc}});
    EXPECT_EQ(played(),
              (std::vector<Played>{
                  {0, 32, 66, 64}, {32, 64, 65, 64}, {64, 96, 67, 64}, {128, 160, 67, 64}}));
    EXPECT_EQ(compiled().mml, " O4F#4 &  O4F4 &  O4G4  r4 O4G4  ");
}

TEST_F(Marks, TripletsAndQuintupletsRoundTheirPositionsToTicks) {
    measure(0, {{kC4, kArc3}, {kC4, kEighth}, {kC4, kSharp}, {kC4, kEighth}, {kC4, kEighth}});
    measure(1, {{kC4, kArc5},
                {kC4, kSixteenth},
                {kC4, kRest + kSixteenth},
                {kC4, kSixteenth},
                {kC4, kSixteenth},
                {kC4, kSixteenth},
                {kC4, kQuarter}});
    const std::vector<Played> notes = played();
    ASSERT_EQ(notes.size(), 8u);
    EXPECT_EQ(ticks(), (std::vector<long>{11, 10, 11, 6, 6, 7, 6, 32}));  // 6, rest 7, 6, 7, 6
    EXPECT_EQ(notes[3].on, 32);
    EXPECT_EQ(notes[4].on, 32 + 6 + 7);  // after the rest member
    EXPECT_EQ(notes[7].on, 64);
    EXPECT_EQ(compiled().mml, " O4C12  O4C#12 O4C#12  O4C20 r20 O4C20 O4C20 O4C20 O4C4 ");
}

TEST_F(Marks, ATupletArcWhoseMembersBreakItsRuleIsSilent) {
    const std::vector<std::vector<Slot>> silent = {
        {{kC4, kArc3}, {kC4, kEighth + 1}, {kC4, kEighth}, {kC4, kEighth}},  // a dotted member
        {{kC4, kArc3}, {kC4, kEighth}, {kC4, kSixteenth}, {kC4, kEighth}},   // mixed lengths
        {{kC4, kArc3}, {kC4, kWhole}, {kC4, kWhole}, {kC4, kWhole}},         // whole notes
        {{kC4, kArc5}, {kC4, kHalf}, {kC4, kHalf}, {kC4, kHalf}, {kC4, kHalf}, {kC4, kHalf}},
        {{kC4, kArc3}, {kC4, kEighth}, {kC4, kEighth}},  // too few before the bar line
    };
    for (const auto& slots : silent) {
        s_ = freeState();
        for (const Slot& slot : slots)
            measure(0, {slot});
        measure(1, {{kC4, kEighth}});
        long plain = 0;
        for (const long t : ticks())
            plain += t % 8 == 0 ? 0 : 1;
        EXPECT_EQ(plain, 0) << compiled().mml;
        EXPECT_EQ(compiled().mml.find("12"), std::string::npos) << compiled().mml;
    }
    // An arc inside a group takes no part of it; the group stands.
    s_ = freeState();
    measure(0, {{kC4, kArc3},
                {kC4, kEighth},
                {kC4, kArc3},
                {kC4, kEighth},
                {kC4, kEighth},
                {kC4, kEighth},
                {kC4, kEighth}});
    EXPECT_EQ(ticks(), (std::vector<long>{11, 10, 11, 16, 16}));
}

TEST_F(Marks, VolumeMarksSetTheVelocityFromThereOnAndV0IsSilent) {
    measure(0, {{kC4, kQuarter}, {kC4, volume(12)}, {kC4, kQuarter}});
    measure(
        1, {{kC4, kQuarter}, {kC4, volume(0)}, {kC4, kQuarter}, {kC4, volume(15)}, {kC4, kEighth}});
    EXPECT_EQ(played(),
              (std::vector<Played>{
                  {0, 32, 60, 64}, {32, 64, 60, 96}, {64, 96, 60, 96}, {128, 144, 60, 120}}));
    EXPECT_EQ(compiled().mml, "O4C4 V12 O4C4 O4C4 V0 O4C4 V15 O4C8 ");
}

TEST_F(Marks, ATempoOpensTheTextButStaysOutOfTheChunk) {
    measure(0, {{kC4, kQuarter}});
    EXPECT_EQ(compiled(90).mml, "T90 O4C4 ");
    EXPECT_EQ(compiled(90).chunk, compiled().chunk);
    EXPECT_EQ(compiled(kStandardTempo).mml, "O4C4 ");
}

// The text and pitch a slot has as it is placed: what placement appends to
// the MML text and what its preview sounds.
TEST(MarksAtAPoint, APlacedSlotWritesTheTokenItSounds) {
    auto s = test::newState();
    applyKeySignatureRows(*s, 1, 4);  // F sharp
    test::appendSlot(*s, 0, 0, kB4, -kFlat);
    test::appendSlot(*s, 0, 0, kF4, -kNatural);
    const Measure& m = s->piece.score[0].measures[0];
    const StaffRows rows = staffRowsOf(s->tables);
    auto token = [&](int slot, int row, int index) {
        std::string out;
        appendMmlToken(out, placedEvent(m, slot, row, index, rows));
        return out;
    };
    EXPECT_EQ(token(2, kB4, kQuarter), "O4B-4 ");
    EXPECT_EQ(token(0, kB4, kQuarter), "O4B4 ");  // before the flat
    EXPECT_EQ(token(2, kF4, kEighth + 1), "O4F8. ");
    EXPECT_EQ(token(1, kF4, kEighth), "O4F#8 ");
    EXPECT_EQ(placedEvent(m, 2, kB4, kQuarter, rows).pitch.key, 70);
    EXPECT_EQ(token(2, kF4, kRest + kQuarter), "r4 ");
    EXPECT_EQ(token(2, kF4, volume(10)), "V10 ");
    for (const int mark : {kSharp, kArc, kArc3, kArc5, 34})
        EXPECT_EQ(token(2, kF4, mark), " ");
}

// What placement and its preview take a note on a row to sound (the marks
// before it on its row in its measure) is what the track plays, unless the
// note is tied over from an earlier measure.
TEST(MarksAtAPoint, ANoteSoundsThePitchItsRowHasAtItsSlot) {
    test::RandomScore random(2203);
    auto s = test::newState();
    int checked = 0;
    for (int round = 0; round < 500; ++round) {
        random.fill(*s, 0);
        const StaffRows rows = staffRowsOf(s->tables);
        const TrackInterpretation music = interpretTrack(s->piece.score[0], rows);
        int measureOfLastNote = -1;
        bool linked = false;
        for (const MusicEvent& e : music.events) {
            if (e.kind == EventKind::Link)
                linked = true;
            if (e.kind != EventKind::Note)
                continue;
            const Measure& measure = s->piece.score[0].measures[e.measure];
            const SpelledPitch p = pitchAtSlot(measure, e.slot, measure.noteRow[e.slot], rows);
            if (!(linked && e.measure > measureOfLastNote)) {
                ASSERT_EQ(p, e.pitch) << round << " measure " << e.measure << " slot " << e.slot;
                ++checked;
            }
            measureOfLastNote = e.measure;
            linked = false;
        }
    }
    EXPECT_GT(checked, 10000);
}

}  // namespace
}  // namespace tsuzuri
