#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

#include "midi/audio_analysis.h"
#include "midi/fluid_sequencer.h"
#include "midi/playback.h"
#include "midi/preview.h"
#include "midi/shared_engine.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"

namespace tsuzuri {
namespace {

using test::keyHz;
using test::semitones;

constexpr int kRate = 44100;
constexpr double kQuarterSeconds = 0.5;  // 32 ticks at 120 quarter notes a minute
constexpr int kQuarter = 8;              // length indices
constexpr int kHalf = 10;
constexpr int kWhole = 12;
constexpr int kQuarterRest = -22;
constexpr int kHalfRest = -24;
// Staff rows (octave setting 4) and their keys.
constexpr int kRowA4 = 26, kRowE4 = 23, kRowC5 = 28, kRowA3 = 19;

std::size_t at(double seconds) {
    return seconds > 0 ? static_cast<std::size_t>(seconds * kRate) : 0;
}

std::vector<float> renderFrom(FluidSequencer& engine, double seconds) {
    const std::size_t frames = at(seconds);
    std::vector<float> left(frames), right(frames), mono(frames);
    constexpr std::size_t kPeriod = 128;
    for (std::size_t i = 0; i < frames; i += kPeriod) {
        const int n = static_cast<int>(std::min(kPeriod, frames - i));
        engine.render(left.data() + i, right.data() + i, n);
    }
    for (std::size_t i = 0; i < frames; ++i)
        mono[i] = left[i] + right[i];
    return mono;
}

void writePreviewTemplate(const std::filesystem::path& file, std::uint8_t program,
                          std::uint8_t key) {
    std::vector<std::uint8_t> bytes(kPreviewTemplate.begin(), kPreviewTemplate.end());
    bytes[kPreviewProgramOffset] = program;
    bytes[kPreviewKeyOffset] = key;
    test::writeBytes(file, bytes);
}

class Sound : public test::SharedEngine {
protected:
    void SetUp() override {
        s_ = test::newState();
        ASSERT_EQ(s_->tables.rowMidi[kRowA4], 69);
        ASSERT_EQ(s_->tables.rowMidi[kRowE4], 64);
        ASSERT_EQ(s_->tables.rowMidi[kRowC5], 72);
        ASSERT_EQ(s_->tables.rowMidi[kRowA3], 57);
    }
    void TearDown() override {
        engine_->sendCommand(releaseCommand(trk()));
        engine_->sendCommand(releaseCommand(cmid()));
        render(0.3);
    }

    std::string trk() const { return (dir_.path() / "trk.mid").string(); }
    std::string cmid() const { return (dir_.path() / "c.mid").string(); }
    static std::vector<float> render(double seconds) { return renderFrom(*engine_, seconds); }

    // Plays the current track as trk♪ does.
    void playTrack(int tempo = kStandardTempo) {
        s_->piece.tempo = static_cast<std::int16_t>(tempo);
        ASSERT_EQ(playCurrentTrack(*s_, *engine_, dir_.path()).error, "");
    }
    void useTrack(int t, int program) {
        s_->view.curTrack = static_cast<std::int16_t>(t);
        s_->piece.score[t].trackProgram = static_cast<std::uint8_t>(program);
    }
    void appendSlot(int row, int code) { test::appendSlot(*s_, s_->view.curTrack, 0, row, code); }

    // Plays each row as a quarter note followed by a quarter rest and renders
    // the whole tune.
    std::vector<float> playQuartersWithRests(const std::vector<int>& rows) {
        for (int row : rows) {
            appendSlot(row, kQuarter);
            appendSlot(0, kQuarterRest);
        }
        playTrack();
        return render(2 * kQuarterSeconds * static_cast<double>(rows.size()));
    }

    test::TempDir dir_{"tsuzuri sound test"};
    std::unique_ptr<EditorState> s_;
};

// Each instrument of the program, on a track whose channel is the drum
// channel of General MIDI too: every note at its own fundamental.
TEST_F(Sound, TrackNotesSoundAtTheirPitches) {
    const std::vector<std::pair<int, int>> trackPrograms = {{0, 105}, {1, 25}, {2, 24}, {9, 74}};
    const std::vector<int> rows = {kRowA4, kRowE4, kRowC5, kRowA3};
    for (const auto& [track, program] : trackPrograms) {
        useTrack(track, program);
        const auto x = playQuartersWithRests(rows);
        for (std::size_t n = 0; n < rows.size(); ++n) {
            const double onset = 2 * kQuarterSeconds * static_cast<double>(n);
            // Past the attack, where a flute has settled on its pitch.
            const double f0 = test::fundamentalHz(x, at(onset + 0.25), at(0.2), kRate);
            const int key = s_->tables.rowMidi[rows[n]];
            EXPECT_LT(std::fabs(semitones(f0, keyHz(key))), 0.25)
                << "program " << program << " key " << key << ": " << f0 << " Hz";
        }
    }
}

TEST_F(Sound, NotesStartAtTheirTicksAndRestsAreSilent) {
    const std::vector<int> rows = {kRowA4, kRowE4, kRowC5, kRowA3};
    for (int program : {24, 74}) {
        useTrack(0, program);
        s_->piece.score[0].measures[0].noteCount = 0;
        const auto x = playQuartersWithRests(rows);
        for (std::size_t n = 0; n < rows.size(); ++n) {
            const double onset = 2 * kQuarterSeconds * static_cast<double>(n);
            const double noteLevel = test::rms(x, at(onset + 0.05), at(0.4));
            const double restLevel = test::rms(x, at(onset + 0.75), at(0.23));
            EXPECT_GT(noteLevel, 0.002) << "program " << program << " note " << n;
            EXPECT_LT(restLevel, 0.05 * noteLevel) << "program " << program << " rest " << n;
            if (program == 74)
                continue;  // a flute swells in too slowly to time its start from the samples
            // The note begins where the sound rises well above what remains of the last one.
            const double before = n == 0 ? 0 : test::peak(x, at(onset - 0.1), at(0.07));
            const auto threshold = static_cast<float>(std::max(0.001, 4 * before));
            const std::size_t start = test::firstAbove(x, at(onset - 0.03), threshold);
            const double late = (static_cast<double>(start) / kRate - onset) * 1000;
            EXPECT_LT(std::fabs(late), 10.0) << "note " << n << " starts " << late << " ms late";
        }
    }
}

// A tie across the bar line, a rest, then a V4 and a V15 half note, on a
// plucked string whose sound decays: a tie is held, never plucked again.
TEST_F(Sound, ATieIsOneOnsetV15IsLouderThanV4AndTempo90IsSlower) {
    constexpr int kArc = 31, kV4 = 35 + 4, kV15 = 35 + 15;
    s_->piece.meter = kFreeMeter;  // measures as long as they hold: the bar line at 0.5 s
    useTrack(0, 24);
    appendSlot(kRowA4, kQuarter);
    appendSlot(kRowA4, -kArc);
    test::appendSlot(*s_, 0, 1, kRowA4, kQuarter);
    test::appendSlot(*s_, 0, 1, 0, kQuarterRest);
    test::appendSlot(*s_, 0, 1, kRowA4, -kV4);
    test::appendSlot(*s_, 0, 1, kRowA4, kHalf);
    test::appendSlot(*s_, 0, 2, kRowA4, -kV15);
    test::appendSlot(*s_, 0, 2, kRowA4, kHalf);
    playTrack();
    const auto x = render(4.0);

    // Across the bar line at 0.5 s the sound only decays.
    const double beforeBar = test::peak(x, at(0.4), at(0.08));
    EXPECT_GT(beforeBar, 0.002);
    EXPECT_LT(test::peak(x, at(0.52), at(0.08)), 1.1 * beforeBar);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(x, at(0.6), at(0.2), kRate), keyHz(69))),
              0.25);
    const double v4 = test::rms(x, at(1.55), at(0.4));
    const double v15 = test::rms(x, at(2.55), at(0.4));
    EXPECT_GT(v4, 0.0005);
    EXPECT_GT(v15, 3 * v4) << "V4 " << v4 << ", V15 " << v15;
    const auto threshold = static_cast<float>(4 * test::peak(x, at(2.0), at(0.45)));
    const double loudAt120 = static_cast<double>(test::firstAbove(x, at(2.2), threshold)) / kRate;
    EXPECT_NEAR(loudAt120, 2.5, 0.01);

    // The same two notes without the arc: the second is plucked again.
    engine_->sendCommand(releaseCommand(trk()));
    s_->piece.score[0].measures[0].noteCount = 1;
    playTrack();
    const auto plucked = render(0.7);
    EXPECT_GT(test::peak(plucked, at(0.52), at(0.08)),
              1.5 * test::peak(plucked, at(0.4), at(0.08)));

    // At tempo 90 every moment comes 4/3 as late.
    engine_->sendCommand(releaseCommand(trk()));
    appendSlot(kRowA4, -kArc);
    playTrack(90);
    const auto slow = render(5.0);
    const double loudAt90 =
        static_cast<double>(test::firstAbove(slow, at(2.2 * 4 / 3), threshold)) / kRate;
    EXPECT_NEAR(loudAt90, loudAt120 * 4 / 3, 0.015);
    EXPECT_LT(test::peak(slow, at(0.52 * 4 / 3), at(0.08)),
              1.1 * test::peak(slow, at(0.4 * 4 / 3), at(0.08)));
}

// A flute note in the first bar, an empty bar, a note in the third: in 4/4
// the bars between are heard as silence and the note comes at 4 s; in the
// free meter it follows at once.
TEST_F(Sound, AnEmptyBarIsHeardAsSilence) {
    useTrack(0, 74);
    appendSlot(kRowA4, kQuarter);
    test::appendSlot(*s_, 0, 2, kRowE4, kQuarter);
    playTrack();
    const auto x = render(4.6);
    const double first = test::rms(x, at(0.1), at(0.35));
    EXPECT_GT(first, 0.002);
    EXPECT_LT(test::rms(x, at(1.0), at(2.9)), 0.05 * first) << "the bars between";
    EXPECT_GT(test::rms(x, at(4.1), at(0.35)), 0.5 * first);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(x, at(4.2), at(0.2), kRate), keyHz(64))),
              0.25);

    engine_->sendCommand(releaseCommand(trk()));
    s_->piece.meter = kFreeMeter;
    playTrack();
    const auto free = render(1.0);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(free, at(0.7), at(0.2), kRate), keyHz(64))),
              0.25);
}

TEST_F(Sound, ThePreviewSoundsTheKeyWithTheTracksInstrument) {
    auto previewProfile = [&](int program, std::uint8_t key) {
        s_->piece.score[0].trackProgram = static_cast<std::uint8_t>(program);
        previewNote(*s_, *engine_, dir_.path(), key);
        const auto x = render(0.6);
        const double f0 = test::fundamentalHz(x, at(0.25), at(0.2), kRate);
        EXPECT_LT(std::fabs(semitones(f0, keyHz(key))), 0.25)
            << "program " << program << " key " << int{key} << ": " << f0 << " Hz";
        return test::harmonicProfile(x, at(0.1), at(0.35), kRate, f0, 8);
    };
    const auto banjo = previewProfile(105, 69);
    const auto flute = previewProfile(74, 69);
    const auto banjoAgain = previewProfile(105, 69);
    previewProfile(25, 76);
    previewProfile(24, 52);
    EXPECT_LT(test::profileDistance(banjo, banjoAgain), 0.02);
    EXPECT_GT(test::profileDistance(banjo, flute), 0.2);
}

TEST_F(Sound, CloseSilencesAPlayingFileAtOnce) {
    useTrack(0, 74);
    appendSlot(kRowA4, kWhole);
    playTrack();
    const auto before = render(0.5);
    engine_->sendCommand(releaseCommand(cmid()));  // another file's close changes nothing
    const auto still = render(0.1);
    engine_->sendCommand(releaseCommand(trk()));
    const auto after = render(0.2);
    const double level = test::peak(before, at(0.3), at(0.2));
    EXPECT_GT(level, 0.01);
    EXPECT_GT(test::peak(still, 0, still.size()), 0.5 * level);
    // What was rendered before the close came is still heard: at most one block.
    EXPECT_EQ(test::peak(after, at(0.0015), after.size()), 0.0);
}

TEST_F(Sound, PlayRestartsTheFileFromItsStart) {
    useTrack(0, 24);
    appendSlot(kRowA4, kQuarter);
    appendSlot(kRowE4, kHalf);
    playTrack();
    const auto first = render(0.7);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(first, at(0.55), at(0.1), kRate), keyHz(64))),
              0.25);
    engine_->sendCommand(playCommand(trk()));  // no close first: play alone restarts it
    const auto again = render(0.7);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(again, at(0.1), at(0.2), kRate), keyHz(69))),
              0.25);
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(again, at(0.55), at(0.1), kRate), keyHz(64))),
              0.25);
}

// With one synthesizer for both files a preview's program change would turn
// the track's flute into a banjo for the rest of the piece.
TEST_F(Sound, APreviewDuringPlaybackLeavesTheTrackAsItWas) {
    useTrack(0, 74);
    appendSlot(0, kHalfRest);
    appendSlot(kRowA4, kHalf);
    playTrack();
    const auto alone = render(2.0);
    playTrack();
    auto mixed = render(0.25);
    s_->piece.score[0].trackProgram = 105;  // the preview uses the track's channel 0 too
    previewNote(*s_, *engine_, dir_.path(), 76);
    const auto rest = render(1.75);
    mixed.insert(mixed.end(), rest.begin(), rest.end());

    // The preview sounds while the track rests ...
    const double preview = test::fundamentalHz(mixed, at(0.4), at(0.2), kRate);
    EXPECT_LT(std::fabs(semitones(preview, keyHz(76))), 0.25) << preview << " Hz";
    // ... and the track's note after it is the flute heard without the preview.
    const double f0 = keyHz(69);
    const auto expected = test::harmonicProfile(alone, at(1.4), at(0.5), kRate, f0, 8);
    const auto heard = test::harmonicProfile(mixed, at(1.4), at(0.5), kRate, f0, 8);
    EXPECT_LT(test::profileDistance(heard, expected), 0.02);
    EXPECT_NEAR(test::rms(mixed, at(1.4), at(0.5)), test::rms(alone, at(1.4), at(0.5)),
                0.1 * test::rms(alone, at(1.4), at(0.5)));
}

TEST_F(Sound, PlayingTheTrackDoesNotCutThePreview) {
    previewNote(*s_, *engine_, dir_.path(), 64);
    const auto alone = render(0.4);
    previewNote(*s_, *engine_, dir_.path(), 64);
    auto mixed = render(0.1);
    playTrack();  // an empty track: trk.mid is closed and played
    const auto rest = render(0.3);
    mixed.insert(mixed.end(), rest.begin(), rest.end());
    EXPECT_GT(test::rms(alone, at(0.15), at(0.25)), 0.002);
    EXPECT_NEAR(test::rms(mixed, at(0.15), at(0.25)), test::rms(alone, at(0.15), at(0.25)),
                0.05 * test::rms(alone, at(0.15), at(0.25)));
}

TEST_F(Sound, UnusableCommandsAreIgnoredWithoutBlocking) {
    const auto garbage = dir_.path() / "garbage.mid";
    test::writeBytes(garbage, std::vector<std::uint8_t>(200, 0xAA));
    const auto zeros = dir_.path() / "zeros.mid";
    test::writeBytes(zeros, std::vector<std::uint8_t>(28, 0));
    const auto good = dir_.path() / "a \"quoted\" name.mid";
    writePreviewTemplate(good, 105, 69);
    const auto started = std::chrono::steady_clock::now();
    for (const std::string& command :
         {std::string(), std::string("stop \"") + cmid() + "\"", "play " + cmid(),
          std::string("play \"/no such directory/c.mid\""), "play \"" + garbage.string() + "\"",
          "play \"" + zeros.string() + "\"", "close \"" + (dir_.path() / "never").string() + "\"",
          "play \"" + good.string() + "\"", "PLAY \"" + cmid() + "\""}) {
        engine_->sendCommand(command);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_EQ(test::peak(render(0.5), 0, at(0.5)), 0.0);

    // A well-formed command plays, spaces in its path and all.
    const auto spaced = dir_.path() / "a folder with spaces";
    std::filesystem::create_directories(spaced);
    writePreviewTemplate(spaced / "c.mid", 25, 69);
    engine_->sendCommand(playCommand((spaced / "c.mid").string()));
    const auto x = render(0.5);
    engine_->sendCommand(releaseCommand((spaced / "c.mid").string()));
    EXPECT_LT(std::fabs(semitones(test::fundamentalHz(x, at(0.1), at(0.2), kRate), 440.0)), 0.25);
}

TEST(FluidSequencerLoading, CommandsSentWhileLoadingAreCarriedOutOnceReady) {
    test::TempDir dir;
    writePreviewTemplate(dir.path() / "c.mid", 24, 69);
    writePreviewTemplate(dir.path() / "other.mid", 24, 75);
    const auto started = std::chrono::steady_clock::now();
    FluidSequencer engine(FluidSequencerOptions{.drivers = {}});
    // The window is shown while this goes on: constructing does not wait for it.
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
    ASSERT_TRUE(engine.loading());
    engine.sendCommand(playCommand((dir.path() / "other.mid").string()));
    engine.sendCommand(playCommand((dir.path() / "c.mid").string()));
    engine.sendCommand(releaseCommand((dir.path() / "other.mid").string()));
    ASSERT_TRUE(engine.loading());
    ASSERT_TRUE(engine.waitUntilLoaded());
    const auto x = renderFrom(engine, 0.5);
    // Only c.mid sounds: with the other file's tritone mixed in there is no single pitch.
    const double f0 = test::fundamentalHz(x, at(0.1), at(0.2), kRate);
    EXPECT_LT(std::fabs(semitones(f0, 440.0)), 0.25) << f0 << " Hz";
}

TEST(FluidSequencerLoading, WithoutAudioOutputCommandsAreIgnoredAndTheOwnerIsTold) {
    test::TempDir dir;
    writePreviewTemplate(dir.path() / "c.mid", 24, 69);
    const std::pair<FluidSequencerOptions, SoundStatus> cases[] = {
        {FluidSequencerOptions{.drivers = {"no-such-driver"}}, SoundStatus::NoAudioDevice},
        {FluidSequencerOptions{.soundFont = dir.path() / "missing.sf2", .drivers = {}},
         SoundStatus::NoSoundFont}};
    for (const auto& [options, expected] : cases) {
        std::atomic<int> reports = 0;
        std::atomic<SoundStatus> status = SoundStatus::Ready;
        {
            FluidSequencer engine(options, [&](SoundStatus reported) {
                status = reported;
                ++reports;
            });
            EXPECT_FALSE(engine.waitUntilLoaded());
            const auto started = std::chrono::steady_clock::now();
            engine.sendCommand(playCommand((dir.path() / "c.mid").string()));
            engine.sendCommand(releaseCommand((dir.path() / "c.mid").string()));
            EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(50));
            EXPECT_EQ(test::peak(renderFrom(engine, 0.1), 0, at(0.1)), 0.0);
        }
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(status, expected);
    }
}

// ALSA's null device takes samples as fast as they come: the driver's thread
// runs the mixing callback, which must hand a preview's note to its synthesizer.
TEST(FluidSequencerDriver, APreviewReachesTheSynthesizerThroughTheAudioCallback) {
    test::TempDir dir;
    std::mutex mutex;
    std::condition_variable heard;
    std::vector<PlayedEvent> events;
    FluidSequencer engine(FluidSequencerOptions{.drivers = {"alsa"}, .alsaDevice = "null"}, {},
                          [&](const PlayedEvent& event) {
                              std::lock_guard lock(mutex);
                              events.push_back(event);
                              heard.notify_all();
                          });
    ASSERT_TRUE(engine.waitUntilLoaded());
    auto s = test::newState();
    s->piece.score[0].trackProgram = 25;
    previewNote(*s, engine, dir.path(), 62);
    std::unique_lock lock(mutex);
    ASSERT_TRUE(heard.wait_for(lock, std::chrono::seconds(5), [&] {
        return std::any_of(events.begin(), events.end(),
                           [](const PlayedEvent& e) { return e.type == 0x90; });
    }));
    EXPECT_EQ(events.front().type, 0xC0);
    EXPECT_EQ(events.front().data1, 25);
    const auto on = std::find_if(events.begin(), events.end(),
                                 [](const PlayedEvent& e) { return e.type == 0x90; });
    EXPECT_EQ(on->data1, 62);
    EXPECT_EQ(on->channel, 0);
}

}  // namespace
}  // namespace tsuzuri
