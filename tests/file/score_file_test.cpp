// The score file read back: random pieces come back exactly, and every kind
// of damaged, foreign or out-of-range file is refused with a message.
#include <gtest/gtest.h>

#include <random>

#include "file/score_file.h"
#include "midi/track_compiler.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

class RandomPieces {
public:
    explicit RandomPieces(unsigned seed) : random_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }

    std::unique_ptr<SavedPiece> next() {
        auto saved = std::make_unique<SavedPiece>();
        Piece& piece = saved->piece;
        for (int t = 0; t < kWindowTracks; ++t) {
            TrackScore& track = piece.score[t];
            track.trackProgram = static_cast<std::uint8_t>(uniform(0, 127));
            track.lastMeasure = static_cast<std::int16_t>(uniform(0, kMeasureCount - 1));
            for (int k = uniform(0, 6); k > 0; --k)
                fillMeasure(track.measures[uniform(0, kMeasureCount - 1)]);
            piece.ticked[t] = uniform(0, 1) == 1;
        }
        piece.keySignature = static_cast<std::int16_t>(uniform(-7, 7));
        piece.octave = static_cast<std::int16_t>(uniform(0, 8));
        piece.trackCount = static_cast<std::int16_t>(uniform(0, kWindowTracks));
        piece.meter = kMeters[static_cast<std::size_t>(uniform(0, kMeterCount - 1))];
        piece.tempo = static_cast<std::int16_t>(uniform(0, 1) ? kStandardTempo : uniform(32, 255));
        saved->curTrack = uniform(0, kWindowTracks - 1);
        saved->firstMeasure = uniform(0, kMeasureCount - 4);
        saved->mml = text();
        // Recovery copies name the piece's file.
        if (uniform(0, 1) == 1)
            saved->documentPath = "/home/綴/曲 \"一\"\\" + text() + ".tsz";
        return saved;
    }

private:
    void fillMeasure(Measure& measure) {
        measure = Measure{};
        measure.noteCount = static_cast<std::int16_t>(uniform(1, 20));
        for (int slot = 0; slot < measure.noteCount; ++slot) {
            // Notes, rests and every other palette mark, either stem direction.
            measure.noteAttr[slot][kAttrX] = static_cast<std::int16_t>(uniform(-32768, 32767));
            measure.noteAttr[slot][kAttrTop] = static_cast<std::int16_t>(uniform(-32768, 32767));
            measure.noteAttr[slot][kAttrCode] = static_cast<std::int16_t>(uniform(-50, 50));
            measure.noteRow[slot] = static_cast<std::int16_t>(uniform(0, 96));
        }
    }
    // MML as users type it, and the characters JSON must escape.
    std::string text() {
        static const std::vector<std::string> pieces = {"O4C4 ", "r8 ",  "L8", "\"", "\\", "\n",
                                                        "\t",    "\x01", "綴", "♯",  "/",  " "};
        std::string out;
        for (int n = uniform(0, 12); n > 0; --n)
            out += pieces[static_cast<std::size_t>(uniform(0, int(pieces.size()) - 1))];
        return out;
    }
    std::mt19937 random_;
};

TEST(ScoreFileTest, RandomPiecesComeBackExactlyAndCompileToTheSameChunks) {
    RandomPieces pieces(20261207);
    for (int i = 0; i < 2000; ++i) {
        const std::unique_ptr<SavedPiece> saved = pieces.next();
        const std::string text = writeScoreText(*saved);
        const ScoreRead read = readScoreText(text);
        ASSERT_TRUE(read.saved) << read.error << "\n" << text;
        ASSERT_TRUE(*read.saved == *saved) << "piece " << i;
        if (i % 100 != 0)
            continue;
        const auto tables = test::newState(saved->piece.octave)->tables;
        for (int t = 0; t < kWindowTracks; ++t) {
            EXPECT_EQ(compileTrack(saved->piece, tables, t).chunk,
                      compileTrack(read.saved->piece, tables, t).chunk);
        }
    }
}

TEST(ScoreFileTest, TheFileStartsWithItsFormatAndVersionAndReadsMeasureByMeasure) {
    auto saved = RandomPieces(1).next();
    const std::string text = writeScoreText(*saved);
    EXPECT_EQ(text.rfind("{\n  \"format\": \"tsuzuri-score\",\n  \"version\": 1,\n", 0), 0u);
    EXPECT_NE(text.find("\n      {\"measure\":"), std::string::npos);
    // At the standard tempo the file is as it was before the tempo could be
    // set; any other tempo follows the octave setting.
    saved->piece.tempo = kStandardTempo;
    EXPECT_EQ(writeScoreText(*saved).find("tempo"), std::string::npos);
    saved->piece.tempo = 90;
    EXPECT_NE(writeScoreText(*saved).find(",\n  \"tempo\": 90,\n  \"trackCount\""),
              std::string::npos);
}

// A valid file with `from` replaced by `to`.
std::string edited(const std::string& from, const std::string& to) {
    auto saved = std::make_unique<SavedPiece>();
    Measure& measure = saved->piece.score[2].measures[5];
    measure.noteCount = 1;
    measure.noteRow[0] = 30;
    measure.noteAttr[0][kAttrCode] = 8;
    std::string text = writeScoreText(*saved);
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(ScoreFileTest, DamagedForeignNewerAndOutOfRangeFilesAreRefusedSayingWhy) {
    const std::string valid = writeScoreText(SavedPiece{});
    std::string manyTracks = valid.substr(0, valid.find("\"tracks\"")) + "\"tracks\": [";
    struct Case {
        std::string text;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"", "空"},
        {"  \n", "空"},
        {valid.substr(0, valid.size() / 2), "JSON"},
        {"<?xml version=\"1.0\"?><score/>", "JSON"},
        {"[1, 2, 3]", "綴の楽譜ではありません"},
        {"{\"name\": \"a shopping list\"}", "綴の楽譜ではありません"},
        {edited("\"version\": 1", "\"version\": 2"), "新しい版（第2版）"},
        {edited("\"version\": 1", "\"version\": \"1\""), "版"},
        {edited("\"version\": 1", "\"version\": 18446744073709551615"),
         "新しい版（第18446744073709551615版）"},
        {edited("\"octave\": 4", "\"octave\": 9223372036854775808"), "9223372036854775808 が"},
        {edited("[0,0,8,30]", "[0,0,8,97]"), "高さ 97"},
        {edited("[0,0,8,30]", "[0,0,8,-1]"), "高さ -1"},
        {edited("[0,0,8,30]", "[0,0,51,30]"), "音長 51"},
        {edited("[0,0,8,30]", "[0,0,8.5,30]"), "整数"},
        {edited("[0,0,8,30]", "[0,40000,8,30]"), "top 40000"},
        {edited("[0,0,8,30]", "[0,0,8]"), "形"},
        {edited(
             "[0,0,8,30]", "[0,0,8,30]" +
                               [] {
                                   std::string more;
                                   for (int i = 0; i < 20; ++i)
                                       more += ",[0,0,8,30]";
                                   return more;
                               }()),
         "第6小節の音符が20個より多く"},
        {edited("{\"measure\":5,", "{\"measure\":201,"), "measure"},
        {edited("\"lastMeasure\":0", "\"lastMeasure\":201"), "lastMeasure"},
        {edited("\"program\":0", "\"program\":128"), "program"},
        {edited("\"octave\": 4", "\"octave\": 9"), "octave"},
        {edited("\"keySignature\": 0", "\"keySignature\": -8"), "keySignature"},
        {edited("\"trackCount\": 3", "\"trackCount\": 21"), "trackCount"},
        {edited("\"currentTrack\": 0", "\"currentTrack\": 20"), "currentTrack"},
        {edited("\"firstMeasure\": 0", "\"firstMeasure\": 198"), "firstMeasure"},
        {edited("\"ticked\":false", "\"ticked\":0"), "ticked"},
        {edited("\"mml\": \"\"", "\"mml\": 5"), "mml"},
        {edited("\"tracks\": [", "\"tracks\": 7, \"x\": ["), "tracks"},
        {edited("\"octave\": 4,\n", ""), "octave"},
        {edited("\"meter\": \"4/4\"", "\"meter\": \"5/4\""), "「meter」が拍子"},
        {edited("\"meter\": \"4/4\"", "\"meter\": \"自由\""), "meter"},
        {edited("\"meter\": \"4/4\"", "\"meter\": 4"), "meter"},
        {edited("\"octave\": 4,", "\"octave\": 4, \"tempo\": 31,"), "tempo"},
        {edited("\"octave\": 4,", "\"octave\": 4, \"tempo\": 256,"), "tempo"},
        {edited("\"octave\": 4,", "\"octave\": 4, \"tempo\": \"90\","), "tempo"},
    };
    for (const Case& c : cases) {
        const ScoreRead read = readScoreText(c.text);
        EXPECT_FALSE(read.saved) << c.text.substr(0, 200);
        EXPECT_NE(read.error.find(c.says), std::string::npos)
            << "wanted " << c.says << ", got " << read.error;
    }
    for (int i = 0; i < 30; ++i)
        manyTracks += std::string(i ? "," : "") +
                      "{\"program\":0,\"lastMeasure\":3,\"ticked\":false,\"measures\":[]}";
    EXPECT_NE(readScoreText(manyTracks + "]}").error.find("20本まで"), std::string::npos);
}

TEST(ScoreFileTest, AMeasureListedTwiceIsRefused) {
    const std::string twice = edited("{\"measure\":5,\"notes\":[[0,0,8,30]]}",
                                     "{\"measure\":5,\"notes\":[[0,0,8,30]]},"
                                     "{\"measure\":5,\"notes\":[[0,0,8,30]]}");
    EXPECT_NE(readScoreText(twice).error.find("二度"), std::string::npos);
}

TEST(ScoreFileTest, TracksAndSettingsAFileLeavesOutStartAsAtStartUp) {
    const ScoreRead read = readScoreText(
        R"({"format": "tsuzuri-score", "version": 1, "keySignature": 0, "octave": 4,
            "trackCount": 3, "currentTrack": 0, "firstMeasure": 0, "mml": "",
            "tracks": [{"program": 25, "lastMeasure": 0, "ticked": true, "measures": []}]})");
    ASSERT_TRUE(read.saved) << read.error;
    EXPECT_EQ(read.saved->piece.score[0].trackProgram, 25);
    EXPECT_EQ(read.saved->piece.score[1].trackProgram, 105);
    EXPECT_EQ(read.saved->piece.score[1].lastMeasure, 3);
    EXPECT_FALSE(read.saved->piece.ticked[1]);
    // A file saved before pieces had a meter plays as it did: free measures.
    EXPECT_EQ(read.saved->piece.meter, kFreeMeter);
    EXPECT_EQ(SavedPiece().piece.meter, kCommonTime);
    EXPECT_EQ(read.saved->piece.tempo, kStandardTempo);
}

// Members a later program may add are skipped, and named once each so that
// the window can tell the user that saving drops them.
TEST(ScoreFileTest, MembersOfALaterProgramAreNamedOnceEach) {
    std::string text = edited("\"octave\": 4,", "\"octave\": 4, \"laterSetting\": {\"a\": [1, 2]},");
    text.replace(text.find("\"ticked\":false"), 14,
                 "\"ticked\":false,\"laterTrackSetting\":7,\"laterSetting\":[]");
    text.replace(text.find("{\"measure\":5,"), 13, "{\"measure\":5,\"laterMeasureSetting\":true,");
    const ScoreRead read = readScoreText(text);
    ASSERT_TRUE(read.saved) << read.error;
    EXPECT_EQ(read.unknownMembers, (std::vector<std::string>{"laterSetting", "laterTrackSetting",
                                                             "laterMeasureSetting"}));
    EXPECT_EQ(read.saved->piece.score[2].measures[5].noteCount, 1);
    EXPECT_TRUE(readScoreText(edited("", "")).unknownMembers.empty());
}

// However long the MML text grew in the window, the saved piece opens: a text
// past the reader's bound is cut before the first character that does not fit.
TEST(ScoreFileTest, AnOverlongMmlTextIsCutOnWritingSoThePieceAlwaysOpens) {
    // "綴" is three bytes: the bound falls inside one, or between two characters.
    for (const std::size_t shift : {1, 3}) {
        SavedPiece saved;
        saved.mml = std::string(kMaxScoreTextBytes - 3 + shift, 'C') + "綴綴";
        const ScoreRead read = readScoreText(writeScoreText(saved));
        ASSERT_TRUE(read.saved) << shift << ": " << read.error;
        const std::size_t kept = shift == 0 ? kMaxScoreTextBytes : kMaxScoreTextBytes - 3 + shift;
        EXPECT_EQ(read.saved->mml, saved.mml.substr(0, kept)) << shift;
    }
    EXPECT_GE(kMaxScoreTextBytes, kMaxMmlTextBytes);
}

}  // namespace
}  // namespace tsuzuri
