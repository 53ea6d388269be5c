// MML files read as new pieces: the MML export of a piece comes back with the
// same notes on every track, at its tempo, in the key signature that needs
// the fewest marks; what cannot be read names its line.
#include <gtest/gtest.h>

#include "file/export.h"
#include "file/mml_file.h"
#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "support/barred_score.h"
#include "support/chunk_notes.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

TEST(MmlFile, TheMmlExportOfAPieceOpensWithTheSameNotesOnEveryTrack) {
    test::BarredScore random(8);
    auto s = test::newState();
    for (int round = 0; round < 200; ++round) {
        random.clear(*s);
        std::vector<int> tracks;
        for (int t = 0; t < kWindowTracks; ++t) {
            if (random.pick(0, 3) == 0) {
                random.fillTrack(*s, t);
                tracks.push_back(t);
            }
        }
        s->piece.tempo = static_cast<std::int16_t>(random.pick(kMinTempo, kMaxTempo));
        const std::string text = exportMml(s->piece, s->tables);
        const MmlFileRead read = readMmlFileText(text, s->piece.octave);
        if (tracks.empty()) {
            EXPECT_EQ(read.error, "MML の行がありません");
            continue;
        }
        ASSERT_TRUE(read.saved) << read.error << "\n" << text;
        const Piece& piece = read.saved->piece;
        EXPECT_EQ(piece.trackCount, static_cast<int>(tracks.size()));
        EXPECT_EQ(piece.tempo, s->piece.tempo);
        auto tables = std::make_unique<NoteTables>();
        nt_init(*tables, s->piece.octave);
        applyKeySignatureRows(*tables, piece.keySignature, s->piece.octave);
        for (std::size_t k = 0; k < tracks.size(); ++k) {
            const int t = tracks[k];
            EXPECT_EQ(
                test::notesOfChunk(compileTrack(piece, *tables, static_cast<int>(k)).chunk).notes,
                test::notesOfChunk(compileTrack(s->piece, s->tables, t).chunk).notes)
                << round << " track " << t << "\n"
                << text;
        }
    }
}

TEST(MmlFile, ALineThatCannotBeReadOrOneTrackTooManyIsNamed) {
    EXPECT_EQ(readMmlFileText("\xEF\xBB\xBF"
                              "C4\r\n\r\n  D4 E4 Q\r\n",
                              4)
                  .error,
              "3行9列：「Q」は MML として読めません");
    std::string many;
    for (int i = 0; i < 25; ++i)
        many += i == 3 ? "\n" : "C4\n";
    EXPECT_EQ(readMmlFileText(many, 4).error,
              "22行目が21番目のトラックになります（トラックは20まで）");
    EXPECT_EQ(readMmlFileText("\n\r\n", 4).error, "MML の行がありません");
    // A tune in D major needs no mark under two sharps.
    const MmlFileRead d = readMmlFileText("O4 D E F# G A B >C# D\n<<D1", 4);
    ASSERT_TRUE(d.saved) << d.error;
    EXPECT_EQ(d.saved->piece.keySignature, 2);
}

}  // namespace
}  // namespace tsuzuri
