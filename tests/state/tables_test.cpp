#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "state/tables.h"

namespace tsuzuri {
namespace {

std::unique_ptr<EditorState> startedState(int octave = 4) {
    auto s = std::make_unique<EditorState>();
    startUp(*s, octave);
    return s;
}

TEST(StartUp, DefaultsOfTheRecord) {
    auto s = startedState();
    EXPECT_EQ(s->view.paletteIndex, 8);
    EXPECT_EQ(s->view.curLength, 8);
    EXPECT_EQ(s->pointer.stemDir, 1);
    EXPECT_EQ(s->piece.trackCount, 3);
    EXPECT_EQ(s->view.curTrack, 0);
    EXPECT_EQ(s->piece.keySignature, 0);
    EXPECT_EQ(s->view.selActive, 0);
    for (int t = 0; t < kStoredTracks; ++t) {
        EXPECT_EQ(s->piece.score[t].lastMeasure, 3) << t;
        EXPECT_EQ(s->piece.score[t].trackProgram, 105) << t;
        EXPECT_EQ(s->trackBuffer[t][0], 0) << t;
        EXPECT_EQ(s->trackChunkSize[t], 0) << t;
    }
    for (int m = 0; m < kMeasureCount; ++m) {
        for (int t = 0; t < kStoredTracks; ++t)
            ASSERT_EQ(s->piece.score[t].measures[m].noteCount, 0);
    }
}

// The empty piece of start-up costs a few kilobytes: tracks and TrackBuffers
// take memory only once written. A copy (an undo step, a saved piece) is whole
// and apart from the original, and unwritten measures compare as empty ones.
TEST(StartUp, AFreshRecordCostsOnlyWhatIsUsed) {
    const std::unique_ptr<const EditorState> s = startedState();
    EXPECT_LT(sizeof(EditorState), 32u * 1024);
    for (int t = 0; t < kStoredTracks; ++t) {
        EXPECT_FALSE(s->piece.score[t].measures.allocated()) << t;
        EXPECT_EQ(s->trackBuffer[t].stored(), 0u) << t;
    }
    EditorState copy = *s;
    copy.piece.score[2].measures[7].noteCount = 3;
    EXPECT_EQ(s->piece.score[2].measures[7].noteCount, 0);
    EXPECT_FALSE(copy.piece.score[2] == s->piece.score[2]);
    copy.piece.score[2].measures[7].noteCount = 0;
    EXPECT_TRUE(copy.piece.score[2] == s->piece.score[2]);
    copy.trackBuffer[4].assign(std::vector<std::uint8_t>{'M', 'T'}.data(), 2);
    EXPECT_EQ(copy.trackBuffer[4][1], 'T');
    EXPECT_EQ(copy.trackBuffer[4][2], 0);
    EXPECT_EQ(s->trackBuffer[4][0], 0);
}

TEST(StartUp, InitClearsAScoreAndLastMeasure) {
    auto s = startedState();
    s->piece.score[20].measures[200].noteCount = 5;
    s->piece.score[20].measures[200].noteRow[20] = 40;
    s->piece.score[20].measures[200].noteAttr[20][3] = 7;
    init(*s);
    EXPECT_EQ(s->piece.score[20].measures[200].noteCount, 0);
    EXPECT_EQ(s->piece.score[20].measures[200].noteRow[20], 0);
    EXPECT_EQ(s->piece.score[20].measures[200].noteAttr[20][3], 0);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 0);
}

TEST(RowTables, OctaveSettingFour) {
    auto s = startedState(4);
    EXPECT_EQ(s->tables.rowNames[0], "O1C");
    EXPECT_EQ(s->tables.rowMidi[0], 24);
    EXPECT_EQ(s->tables.rowNames[3], "O1F");
    EXPECT_EQ(s->tables.rowMidi[3], 29);
    EXPECT_EQ(s->tables.rowNames[5], "O1A");
    EXPECT_EQ(s->tables.rowMidi[5], 33);
    EXPECT_EQ(s->tables.rowNames[6], "O1B");
    EXPECT_EQ(s->tables.rowMidi[6], 35);
    EXPECT_EQ(s->tables.rowNames[7], "O2C");
    EXPECT_EQ(s->tables.rowMidi[7], 36);
    EXPECT_EQ(s->tables.rowNames[21], "O4C");  // middle C
    EXPECT_EQ(s->tables.rowMidi[21], 60);
    EXPECT_EQ(s->tables.rowNames[42], "O7C");
    EXPECT_EQ(s->tables.rowMidi[42], 96);
    EXPECT_EQ(s->tables.rowNames[49], "O7C");  // clamped to the highest octave
    EXPECT_EQ(s->tables.rowMidi[49], 96);
    EXPECT_EQ(s->tables.rowNames[95], "O7G");
    EXPECT_EQ(s->tables.rowNames[96], "");
    EXPECT_EQ(s->tables.rowMidi[96], 0);
}

TEST(RowTables, OctaveSettingZeroClampsTheLowRows) {
    auto s = startedState(0);
    for (int row : {0, 7, 14, 21}) {
        EXPECT_EQ(s->tables.rowNames[row], "O0C") << row;
        EXPECT_EQ(s->tables.rowMidi[row], 12) << row;
    }
    EXPECT_EQ(s->tables.rowNames[28], "O1C");
    EXPECT_EQ(s->tables.rowMidi[28], 24);
}

TEST(RowTables, EveryRowIsADiatonicStepAboveTheLast) {
    auto s = startedState(4);
    const int steps[7] = {2, 2, 1, 2, 2, 2, 1};  // C D E F G A B C
    for (int row = 1; row < 42; ++row) {
        EXPECT_EQ(s->tables.rowMidi[row] - s->tables.rowMidi[row - 1], steps[(row - 1) % 7]) << row;
    }
}

TEST(NoteNames, SharpsOnlyAndEmptyAbove119) {
    auto s = startedState();
    EXPECT_EQ(s->tables.noteNames[0], "O0C");
    EXPECT_EQ(s->tables.noteNames[60], "O5C");
    EXPECT_EQ(s->tables.noteNames[61], "O5C#");
    EXPECT_EQ(s->tables.noteNames[119], "O9B");
    EXPECT_EQ(s->tables.noteNames[120], "");
    EXPECT_EQ(s->tables.noteNames[127], "");
}

TEST(LengthTables, NotesRestsAndNothingBeyond) {
    auto s = startedState();
    EXPECT_EQ(s->tables.lengthNames[0], "64");
    EXPECT_EQ(s->tables.lengthTicks[0], 2);
    EXPECT_EQ(s->tables.lengthNames[7], "8.");
    EXPECT_EQ(s->tables.lengthTicks[7], 24);
    EXPECT_EQ(s->tables.lengthNames[8], "4");
    EXPECT_EQ(s->tables.lengthTicks[8], 32);
    EXPECT_EQ(s->tables.lengthNames[13], "1.");
    EXPECT_EQ(s->tables.lengthTicks[13], 192);
    EXPECT_EQ(s->tables.lengthNames[14], "r64");
    EXPECT_EQ(s->tables.lengthNames[27], "r1.");
    EXPECT_EQ(s->tables.lengthTicks[27], 192);
    for (int i = 28; i <= 64; ++i)
        EXPECT_EQ(s->tables.lengthTicks[i], 0) << i;
    for (int i = 28; i <= 96; ++i)
        EXPECT_EQ(s->tables.lengthNames[i], "") << i;
}

TEST(CheckedTablesDeathTest, IndexOutsideItsTableAborts) {
    auto s = startedState();
    EXPECT_DEATH(s->tables.rowMidi[97], "table index 97 outside 0..96");
    EXPECT_DEATH(s->piece.score[0].measures[201], "outside 0..200");
    EXPECT_DEATH(s->piece.score[-1], "table index -1");
    EXPECT_DEATH(s->tables.lengthTicks[65], "outside 0..64");
}

}  // namespace
}  // namespace tsuzuri
