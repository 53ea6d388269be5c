#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "midi/fluid_sequencer.h"
#include "midi/playback.h"
#include "midi/shared_engine.h"
#include "midi/track_compiler.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

constexpr int kRate = 44100;
constexpr int kQuarter = 8;  // length indices
constexpr int kWhole = 12;
// The four instruments the program offers first.
constexpr int kPrograms[] = {105, 25, 24, 74};

// The highest sample magnitude of either channel over `seconds`, in dBFS.
double peakDbfs(SoundEngine& engine, double seconds) {
    constexpr int kPeriod = 128;
    std::vector<float> left(kPeriod), right(kPeriod);
    float peak = 0;
    for (int done = 0; done < seconds * kRate; done += kPeriod) {
        engine.render(left.data(), right.data(), kPeriod);
        for (int i = 0; i < kPeriod; ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
    return peak > 0 ? 20 * std::log10(peak) : -1000;
}

class SoundLevel : public test::SharedEngine {
protected:
    test::TempDir dir_{"tsuzuri sound level test"};
    std::unique_ptr<EditorState> s_ = test::newState();
};

// A melody of quarter notes over two octaves around middle C, with each of
// the four instruments: loud enough to hear without turning the volume far
// up, with room for the other tracks.
TEST_F(SoundLevel, OneTrackPeaksBetweenMinus12AndMinus6Dbfs) {
    for (int program : kPrograms) {
        s_->piece.score[0].trackProgram = static_cast<std::uint8_t>(program);
        s_->piece.score[0].measures[0].noteCount = 0;
        for (int row = 14; row <= 28; row += 2)
            test::appendSlot(*s_, 0, 0, row, kQuarter);
        ASSERT_EQ(playCurrentTrack(*s_, *engine_, dir_.path()).error, "");
        const double peak = peakDbfs(*engine_, 5.0);
        std::printf("program %d: one track peaks at %.1f dBFS\n", program, peak);
        EXPECT_GE(peak, -12.0) << "program " << program;
        EXPECT_LE(peak, -6.0) << "program " << program;
    }
}

// Twenty tracks struck together, each a chord tone of its own (three octaves
// of a major chord), each instrument on five tracks, the loudest case the
// window can make: whole notes, then the same chord again and a higher one.
TEST_F(SoundLevel, TwentyTracksOfFullChordsNeverClip) {
    TrackSelection ticked{};
    const int chordSteps[] = {0, 2, 4};  // rows of a triad: root, third, fifth
    for (int t = 0; t < kWindowTracks; ++t) {
        TrackScore& track = s_->piece.score[t];
        track.trackProgram = static_cast<std::uint8_t>(kPrograms[t % 4]);
        const int row = 7 + chordSteps[t % 3] + 7 * (t / 3) % 42;
        for (int m = 0; m < 3; ++m) {
            track.measures[m].noteCount = 0;
            test::appendSlot(*s_, t, m, std::min(row + 2 * m, 95), kWhole);
        }
        track.lastMeasure = 2;
        storeTrackBuffer(*s_, t, compileTrack(s_->piece, s_->tables, t).chunk);
        ticked[static_cast<std::size_t>(t)] = true;
    }
    ASSERT_EQ(playAllTracks(*s_, ticked, *engine_, dir_.path()), "");
    const double peak = peakDbfs(*engine_, 7.0);
    std::printf("twenty tracks of chords peak at %.1f dBFS\n", peak);
    EXPECT_LT(peak, 0.0);
    EXPECT_GT(peak, -30.0);  // they did sound
}

}  // namespace
}  // namespace tsuzuri
