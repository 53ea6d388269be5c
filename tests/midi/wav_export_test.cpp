// The piece exported as a WAV file through the engine's offline rendering,
// read back by an independent reader: as long as the piece, its notes where
// the file puts them, at their pitches, and as loud as the engine plays them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "file/export.h"
#include "file/wav_file.h"
#include "midi/audio_analysis.h"
#include "midi/fluid_sequencer.h"
#include "midi/shared_engine.h"
#include "support/midi_reader.h"
#include "support/score_builder.h"
#include "support/temp_dir.h"
#include "support/wav_reader.h"

namespace tsuzuri {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;
constexpr int kQuarter = 8, kQuarterRest = -22, kWholeRest = -26;
constexpr int kRowA3 = 19, kRowE4 = 23, kRowA4 = 26, kRowC5 = 28;

std::size_t at(double seconds) {
    return static_cast<std::size_t>(std::max(0.0, seconds) * kRate);
}

// Two plucked instruments, one after the other: a ukulele on the first track,
// a mandolin on the second once the first has ended.
std::unique_ptr<EditorState> twoTrackPiece() {
    auto s = test::newState();
    s->piece.score[0].trackProgram = 24;
    for (int row : {kRowA4, kRowE4}) {
        test::appendSlot(*s, 0, 0, row, kQuarter);
        test::appendSlot(*s, 0, 0, 0, kQuarterRest);
    }
    s->piece.score[1].trackProgram = 25;
    test::appendSlot(*s, 1, 0, 0, kWholeRest);
    for (int row : {kRowC5, kRowA3}) {
        test::appendSlot(*s, 1, 1, row, kQuarter);
        test::appendSlot(*s, 1, 1, 0, kQuarterRest);
    }
    return s;
}

struct Note {
    int key;
    double seconds;  // its start
};

// The notes and the end of a MIDI file as midicsv reads them, at `secondsPerTick`.
std::vector<Note> notesOf(const fs::path& midi, double secondsPerTick, double& end) {
    const test::MidiListing listing = test::readWithMidicsv(midi);
    EXPECT_TRUE(listing.ok) << listing.diagnostics;
    std::vector<Note> notes;
    for (const test::MidiRecord& on : listing.ofType("Note_on_c")) {
        if (std::stoi(on.fields.at(2)) > 0)
            notes.push_back({std::stoi(on.fields.at(1)), on.time * secondsPerTick});
    }
    std::sort(notes.begin(), notes.end(),
              [](const Note& a, const Note& b) { return a.seconds < b.seconds; });
    end = 0;
    for (const test::MidiRecord& record : listing.ofType("End_track"))
        end = std::max(end, record.time * secondsPerTick);
    return notes;
}

// Where a note's sound rises well above what remains of the one before.
double onsetNear(const std::vector<float>& x, double expected) {
    const double before = expected < 0.1 ? 0 : test::peak(x, at(expected - 0.1), at(0.07));
    const auto threshold = static_cast<float>(std::max(0.001, 4 * before));
    return static_cast<double>(test::firstAbove(x, at(expected - 0.03), threshold)) / kRate;
}

class WavExport : public test::SharedEngine {
protected:
    // Writes `midi` as a WAV file; what an independent reader finds in it.
    test::WavListing exported(const std::vector<std::uint8_t>& midi) {
        const fs::path wav = dir_.path() / "piece.wav";
        const std::atomic<bool> cancel = false;
        const WavWritten written = writeWavFile(wav, midi, *engine_, {}, cancel);
        EXPECT_EQ(written.error, "");
        return test::readWithPythonWave(wav);
    }

    // The same bytes as the engine plays them.
    std::vector<float> played(const std::vector<std::uint8_t>& midi, std::size_t frames) {
        const fs::path file = dir_.path() / "trk.mid";
        test::writeBytes(file, midi);
        engine_->sendCommand(playCommand(file.string()));
        std::vector<float> left(frames), right(frames), mono(frames);
        for (std::size_t i = 0; i < frames; i += 128) {
            const int n = static_cast<int>(std::min<std::size_t>(128, frames - i));
            engine_->render(left.data() + i, right.data() + i, n);
        }
        engine_->sendCommand(releaseCommand(file.string()));
        for (std::size_t i = 0; i < frames; ++i)
            mono[i] = left[i] + right[i];
        return mono;
    }

    fs::path midiFile(const std::vector<std::uint8_t>& bytes) {
        const fs::path file = dir_.path() / "piece.mid";
        test::writeBytes(file, bytes);
        return file;
    }

    test::TempDir dir_{"tsuzuri wav export"};
};

TEST_F(WavExport, ThePieceSoundsAsItPlaysForItsWholeLength) {
    const auto s = twoTrackPiece();
    const std::vector<std::uint8_t> midi = exportMidi(s->piece, s->tables);
    double end = 0;
    const std::vector<Note> notes = notesOf(midiFile(midi), 0.5 / 32, end);
    ASSERT_EQ(notes.size(), 4u);

    const test::WavListing wav = exported(midi);
    ASSERT_TRUE(wav.ok) << wav.diagnostics;
    EXPECT_EQ(wav.rate, kRate);
    // The whole piece, then the release of its last note, which fades within two seconds.
    const double seconds = static_cast<double>(wav.frames) / kRate;
    EXPECT_GE(seconds, end);
    EXPECT_LE(seconds, end + 2.1);
    const std::vector<float> x = wav.mono();
    EXPECT_LT(test::peak(x, x.size() - 256, 256), 0.002) << "the file ends before its sound";

    const std::vector<float> live = played(midi, x.size());
    for (const Note& note : notes) {
        const double late = (onsetNear(x, note.seconds) - note.seconds) * 1000;
        EXPECT_LT(std::fabs(late), 10.0) << "key " << note.key << " starts " << late << " ms late";
        const double f0 = test::fundamentalHz(x, at(note.seconds + 0.1), at(0.2), kRate);
        EXPECT_LT(std::fabs(test::semitones(f0, test::keyHz(note.key))), 0.25)
            << "key " << note.key << ": " << f0 << " Hz";
        const double level = test::rms(x, at(note.seconds), at(0.4));
        const double liveLevel = test::rms(live, at(note.seconds), at(0.4));
        EXPECT_GT(level, 0.002);
        EXPECT_NEAR(level, liveLevel, 0.02 * liveLevel) << "key " << note.key;
    }
}

// A piece without notes is a file without tracks, and a WAV file without sound.
TEST_F(WavExport, APieceWithoutNotesGivesAnEmptyFile) {
    const auto s = test::newState();
    const test::WavListing wav = exported(exportMidi(s->piece, s->tables));
    ASSERT_TRUE(wav.ok) << wav.diagnostics;
    EXPECT_EQ(wav.frames, 0);
}

// A Set Tempo event the file carries (a quarter note a second) sets the time
// of the notes after it.
TEST_F(WavExport, TheFilesTempoIsHonoured) {
    auto s = test::newState();
    s->piece.score[0].trackProgram = 24;
    test::appendSlot(*s, 0, 0, kRowA4, kQuarter);
    test::appendSlot(*s, 0, 0, kRowE4, kQuarter);
    std::vector<std::uint8_t> midi = exportMidi(s->piece, s->tables);
    const std::vector<std::uint8_t> tempo = {0x00, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40};
    constexpr std::size_t kFirstTrackData = 14 + 8;
    midi.insert(midi.begin() + kFirstTrackData, tempo.begin(), tempo.end());
    midi[kFirstTrackData - 1] = static_cast<std::uint8_t>(midi[kFirstTrackData - 1] + tempo.size());
    double end = 0;
    const std::vector<Note> notes = notesOf(midiFile(midi), 1.0 / 32, end);
    ASSERT_EQ(notes.size(), 2u);
    ASSERT_DOUBLE_EQ(notes[1].seconds, 1.0);

    const test::WavListing wav = exported(midi);
    ASSERT_TRUE(wav.ok) << wav.diagnostics;
    EXPECT_GE(static_cast<double>(wav.frames) / kRate, end);
    const std::vector<float> x = wav.mono();
    for (const Note& note : notes)
        EXPECT_LT(std::fabs(onsetNear(x, note.seconds) - note.seconds), 0.01) << note.key;
}

}  // namespace
}  // namespace tsuzuri
