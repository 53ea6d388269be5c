// MML read back into the staff: a staff's own text comes back as the same
// staff music, and any text of the dialect plays as an independent reader
// hears it.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "mml/mml_reader.h"
#include "mml/optimizer.h"
#include "mml/track_text.h"
#include "score/canvas_geometry.h"
#include "score/layout.h"
#include "score/score_ops.h"
#include "support/barred_score.h"
#include "support/chunk_notes.h"
#include "support/random_score.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

std::string withoutSpaces(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ')
            out += c;
    }
    return out;
}

// Every slot of a read track is stored as a click on its row stores it: a
// row the pointer reaches, the glyph placement gives that row, x offsets
// in play order, at most 20 slots a measure.
void expectStoredAsPlaced(const TrackScore& track) {
    for (int m = 0; m <= track.lastMeasure; ++m) {
        const Measure& measure = track.measures[m];
        ASSERT_LE(measure.noteCount, kMaxNotesPerMeasure) << "measure " << m;
        for (int s = 0; s < measure.noteCount; ++s) {
            const int row = measure.noteRow[s];
            const int code = measure.noteAttr[s][kAttrCode];
            ASSERT_GE(row, kLowestReachedRow);
            ASSERT_LE(row, kHighestReachedRow);
            const PlacedGlyph glyph = placedGlyph(std::abs(code), row);
            ASSERT_EQ(code, glyph.code) << "measure " << m << " slot " << s;
            ASSERT_EQ(measure.noteAttr[s][kAttrTop], glyph.top) << "measure " << m << " slot " << s;
            if (s > 0) {
                ASSERT_GE(measure.noteAttr[s][kAttrX], measure.noteAttr[s - 1][kAttrX]);
            }
        }
    }
}

// Reads `text` into track t of a copy of the piece and compiles it there.
struct ReadBack {
    std::string error;
    CompiledTrack compiled;
};
ReadBack readBack(const EditorState& s, int t, std::string_view text) {
    TrackTextRead read =
        readTrackText(text, staffRowsOf(s.tables), s.piece.octave, kFourFourBarTicks);
    if (read.error)
        return {trackTextErrorText(*read.error), {}};
    expectStoredAsPlaced(*read.track);
    auto piece = std::make_unique<Piece>(s.piece);
    read.track->trackProgram = piece->score[t].trackProgram;
    piece->score[t] = *read.track;
    piece->tempo = static_cast<std::int16_t>(read.tempo.value_or(kStandardTempo));
    return {"", compileTrack(*piece, s.tables, t)};
}

// The round trip: a staff in bars, compiled, its MML text (as written and as
// optimized) read back and compiled again gives the same chunk, and the same
// text up to its spaces (the silent marks write nothing else).
TEST(ReadBack, StaffsInBarsComeBackNoteForNoteAndWordForWord) {
    test::BarredScore random(20261219);
    auto s = test::newState();
    for (int round = 0; round < 2000; ++round) {
        const int t = random.pick(0, kWindowTracks - 1);
        random.fill(*s, t);
        s->piece.tempo = static_cast<std::int16_t>(
            random.pick(0, 1) ? kStandardTempo : random.pick(kMinTempo, kMaxTempo));
        const CompiledTrack written = compileTrack(s->piece, s->tables, t);
        for (const std::string& text : {written.mml, optimizeMml(written.mml, false).text}) {
            const ReadBack back = readBack(*s, t, text);
            ASSERT_EQ(back.error, "") << round << "\n" << text;
            ASSERT_EQ(back.compiled.chunk, written.chunk) << round << "\n" << text;
            ASSERT_EQ(withoutSpaces(back.compiled.mml), withoutSpaces(written.mml)) << round << "\n"
                                                                                    << text;
        }
    }
}

// Any staff: laid into 4/4 bars its text plays the same notes, unless a bar
// would need more slots than a measure has (or the piece more measures); a
// second reading changes nothing more.
TEST(ReadBack, AnyStaffComesBackWithItsNotesOrIsRefusedForRoom) {
    test::RandomScore random(31);
    auto s = test::newState();
    int refused = 0;
    for (int round = 0; round < 2000; ++round) {
        const int t = random.pick(0, kWindowTracks - 1);
        random.fill(*s, t);
        TrackScore& track = s->piece.score[t];
        for (int m = 0; m <= track.lastMeasure; ++m) {
            for (int k = 0; k < track.measures[m].noteCount; ++k) {
                auto& row = track.measures[m].noteRow[k];
                row = static_cast<std::int16_t>(
                    std::clamp<int>(row, kLowestReachedRow, kHighestReachedRow));
            }
        }
        const CompiledTrack written = compileTrack(s->piece, s->tables, t);
        const ReadBack back = readBack(*s, t, written.mml);
        if (!back.error.empty()) {
            ASSERT_NE(back.error.find("小節"), std::string::npos) << round << back.error;
            ++refused;
            continue;
        }
        ASSERT_EQ(test::notesOfChunk(back.compiled.chunk).notes,
                  test::notesOfChunk(written.chunk).notes)
            << round << "\n"
            << written.mml;
        ASSERT_EQ(back.compiled.chunk, written.chunk) << round << "\n" << written.mml;
        const ReadBack again = readBack(*s, t, back.compiled.mml);
        ASSERT_EQ(again.error, "");
        ASSERT_EQ(again.compiled.mml, back.compiled.mml) << round;
    }
    EXPECT_LT(refused, 1000);
}

// Random texts in the dialect, written as a composer might: either case,
// spaces and line breaks anywhere, "O", "<", ">", "L", "T" first, "V", "&"
// between notes, tuplet groups with marks among their members.
class RandomMml {
public:
    explicit RandomMml(std::uint32_t seed) : rng_(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    // The text as its tokens, so that a fault can go between two of them.
    std::vector<std::string> tokens() {
        tokens_.clear();
        octave_ = 4;
        defaultDotted_ = false;
        afterNote_ = false;
        if (pick(0, 2) == 0)
            put(letter('T') + std::to_string(pick(kMinTempo, kMaxTempo)));
        for (int n = pick(0, 40); n > 0; --n)
            phrase();
        return tokens_;
    }

private:
    std::string letter(char c) {
        return std::string(1, pick(0, 1) ? c : static_cast<char>(c - 'A' + 'a'));
    }

    void put(std::string token) {
        static const char* spaces[] = {"", "", " ", "  ", "\t", "\n", " \r\n"};
        tokens_.push_back(token + spaces[pick(0, 6)]);
    }

    std::string plainLength() {
        static const char* lengths[] = {"1", "2", "4", "8", "4", "8", "16", "32", "64"};
        const int k = pick(0, 20) == 0 ? pick(6, 8) : pick(0, 5);
        return lengths[k] + std::string(pick(0, 3) == 0 ? "." : "");
    }

    void timed(bool note, std::string length) {
        std::string token = note ? letter("CDEFGAB"[pick(0, 6)]) : letter('R');
        if (note)
            token += std::array<const char*, 8>{
                "#", "+", "-", "", "", "", "", ""}[static_cast<std::size_t>(pick(0, 7))];
        if (length.empty() && !defaultDotted_ && pick(0, 3) == 0)
            length = ".";
        put(token + length);
        afterNote_ = note;
    }

    void link() {
        if (afterNote_ && pick(0, 2) == 0) {
            put("&");
            timed(true, pick(0, 1) ? plainLength() : "");
        }
    }

    void group() {
        const int count = pick(0, 1) ? 3 : 5;
        static const char* triplets[] = {"3", "6", "12", "24", "48"};
        static const char* quintuplets[] = {"5", "10", "20", "40"};
        const std::string length = count == 3 ? triplets[pick(1, 4)] : quintuplets[pick(0, 3)];
        for (int k = 0; k < count; ++k) {
            if (pick(0, 5) == 0)
                put(letter('V') + std::to_string(pick(0, 15)));
            const bool linked = k > 0 && afterNote_ && pick(0, 4) == 0;
            if (linked)
                put("&");
            timed(linked || pick(0, 4) != 0, length);
        }
    }

    void phrase() {
        switch (pick(0, 14)) {
            case 0:
                octave_ = pick(2, 6);
                put(letter('O') + std::to_string(octave_));
                break;
            case 1:
                if (octave_ < 6) {
                    ++octave_;
                    put(">");
                }
                break;
            case 2:
                if (octave_ > 2) {
                    --octave_;
                    put("<");
                }
                break;
            case 3: {
                const std::string length = plainLength();
                defaultDotted_ = length.back() == '.';
                put(letter('L') + length);
                break;
            }
            case 4:
                put(letter('V') + std::to_string(pick(0, 15)));
                break;
            case 5:
                group();
                break;
            case 6:
                timed(false, pick(0, 1) ? plainLength() : "");
                break;
            default:
                timed(true, pick(0, 1) ? plainLength() : "");
                link();
                break;
        }
    }

    std::mt19937 rng_;
    std::vector<std::string> tokens_;
    int octave_ = 4;
    bool defaultDotted_ = false;
    bool afterNote_ = false;
};

std::string joined(const std::vector<std::string>& tokens) {
    std::string text;
    for (const std::string& t : tokens)
        text += t;
    return text;
}

// Where the text that `tokens` 0..k-1 make up ends: the place of what follows.
TextPlace placeAfter(const std::vector<std::string>& tokens, std::size_t k) {
    TextPlace at;
    for (std::size_t i = 0; i < k; ++i) {
        for (const char c : tokens[i]) {
            if (c == '\n') {
                ++at.line;
                at.column = 1;
            } else {
                ++at.column;
            }
        }
    }
    return at;
}

// Random texts of the dialect read onto the staff play, compiled, the notes
// the tests' own reader hears in them (ties merged, V0 notes silent); a fault
// put anywhere into one is found where it stands.
TEST(ReadBack, RandomTextsPlayAsAnIndependentReaderHearsThem) {
    RandomMml random(2027);
    auto s = test::newState();
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::vector<std::string> tokens = random.tokens();
        const std::string text = joined(tokens);
        const ReadBack back = readBack(*s, 0, text);
        if (!back.error.empty()) {
            ASSERT_NE(back.error.find("小節"), std::string::npos) << back.error << "\n" << text;
            ++refused;
            continue;
        }
        const test::HeardMml heard = test::hearMml(text);
        const test::ChunkNotes chunk = test::notesOfChunk(back.compiled.chunk);
        ASSERT_EQ(chunk.notes, test::playedNotes(heard)) << round << "\n" << text;
        long end = 0;
        for (const test::Heard& h : heard.heard)
            end += h.length;
        ASSERT_EQ(chunk.end, (end + 7) / 15 + 32) << round << "\n" << text;

        static const char* faults[] = {"X", "h", "V16", "o9", "T999", "\xE3\x83\x89"};
        std::vector<std::string> faulty = tokens;
        const auto at = static_cast<std::size_t>(random.pick(0, static_cast<int>(tokens.size())));
        faulty.insert(faulty.begin() + static_cast<long>(at), faults[random.pick(0, 5)]);
        const TrackTextRead read = readTrackText(joined(faulty), staffRowsOf(s->tables), 4, 128);
        ASSERT_TRUE(read.error) << joined(faulty);
        ASSERT_EQ(read.error->place, placeAfter(faulty, at)) << joined(faulty);
        ASSERT_EQ(read.error->measure, -1);
    }
    EXPECT_LT(refused, 300);
}

// The most the MML box holds, of random bytes, of notes beyond what a track
// holds, of marks without time, of tuplet groups: each comes back refused with
// a fault, never a track. How fast is the benchmark's business.
TEST(ReadBack, TwoMegabytesOfAnyKindAreRefused) {
    auto s = test::newState();
    std::mt19937 rng(5);
    std::string noise(kMaxMmlTextBytes, ' ');
    for (char& c : noise)
        c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    auto filled = [](std::string_view unit) {
        std::string text;
        while (text.size() + unit.size() <= kMaxMmlTextBytes)
            text += unit;
        return text;
    };
    for (const std::string& text : {noise, filled("c"), filled("V15 "), filled("C12D12E12 ")}) {
        const TrackTextRead read =
            readTrackText(text, staffRowsOf(s->tables), 4, kFourFourBarTicks);
        EXPECT_TRUE(read.error) << text.substr(0, 20);
        EXPECT_FALSE(read.track) << text.substr(0, 20);
    }
}

}  // namespace
}  // namespace tsuzuri
