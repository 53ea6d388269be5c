#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "mml/key_entry.h"
#include "mml/piano.h"
#include "score/canvas_geometry.h"
#include "score/pointer.h"
#include "support/chunk_notes.h"
#include "support/score_builder.h"

namespace tsuzuri {
namespace {

using test::newState;

constexpr int kSetting = 4;  // octave setting
constexpr int kMiddleCKey = 36;

void expectUntouched(const EditorState& s, int measure, int count) {
    EXPECT_EQ(s.piece.score[0].measures[measure].noteCount, count);
    EXPECT_EQ(s.view.entryMeasure, measure);
}

// The keys of the notes track 0 plays.
std::vector<int> playedKeys(const EditorState& s) {
    std::vector<int> keys;
    for (const test::Played& p : test::notesOfChunk(compileTrack(s.piece, s.tables, 0).chunk).notes)
        keys.push_back(p.key);
    return keys;
}

// Switches entry on for track 0, whose last measure is 3: entry goes into measure 3.
std::unique_ptr<EditorState> enteringState() {
    auto s = newState(kSetting);
    switchKeyEntry(*s);
    return s;
}

EntryResult enter(EditorState& s, std::string_view note, int perMeasure = 8,
                  int setting = kSetting) {
    return enterNote(s, note, setting, perMeasure);
}

TEST(KeyEntry, SwitchingOnAddsAMeasureAndShowsTheEntryMeasure) {
    auto s = newState();
    EXPECT_TRUE(switchKeyEntry(*s));
    EXPECT_EQ(s->view.keyEntryMode, 1);
    EXPECT_EQ(s->view.entryMeasure, 3);
    EXPECT_EQ(s->view.entrySlot, 0);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 4);
    EXPECT_EQ(s->view.firstMeasure, 1);  // measure 3 in the third column
    EXPECT_FALSE(switchKeyEntry(*s));
    EXPECT_EQ(s->view.keyEntryMode, 0);
    EXPECT_TRUE(switchKeyEntry(*s));
    EXPECT_EQ(s->piece.score[0].lastMeasure, 5);
    EXPECT_EQ(s->view.entryMeasure, 4);
}

TEST(KeyEntry, SwitchingOnStaysInsideTheScore) {
    auto s = newState();
    s->piece.score[0].lastMeasure = 1;
    switchKeyEntry(*s);
    EXPECT_EQ(s->view.firstMeasure, 0);
    switchKeyEntry(*s);
    s->piece.score[0].lastMeasure = 200;
    switchKeyEntry(*s);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 200);
    EXPECT_EQ(s->view.entryMeasure, 200);
    EXPECT_EQ(s->view.firstMeasure, 197);
}

TEST(KeyEntry, MiddleCIsStoredLikeAPlacedNote) {
    auto s = enteringState();
    const KeyPress press = pressKey(kMiddleCKey, 100, 1000);
    ASSERT_EQ(press.noteText, "O4C8");
    const EntryResult r = enter(*s, press.noteText);
    ASSERT_EQ(r.outcome, EntryOutcome::Stored);
    EXPECT_EQ(r.row, 21);
    EXPECT_EQ(r.measure, 3);
    EXPECT_EQ(s->piece.score[0].measures[3].noteCount, 1);
    EXPECT_EQ(s->piece.score[0].measures[3].noteRow[0], 21);
    EXPECT_EQ(s->tables.rowMidi[21], 60);
    EXPECT_EQ(s->piece.score[0].measures[3].noteAttr[0][kAttrX], 22);  // first of 8: 200 / 9
    // Stem up, the bottom edge on y 84.
    EXPECT_EQ(s->piece.score[0].measures[3].noteAttr[0][kAttrTop], 50);
    EXPECT_EQ(s->piece.score[0].measures[3].noteAttr[0][kAttrCode], 6);

    // Entry writes into measure 4: in 4/4 the three empty measures before it are bars of rest.
    const CompiledTrack c = compileTrack(s->piece, s->tables, 0);
    EXPECT_EQ(c.mml, "r1 r1 r1 O4C8 ");
    const std::vector<std::uint8_t> noteOn = {0x90, 60, 0x40};
    EXPECT_NE(std::search(c.chunk.begin(), c.chunk.end(), noteOn.begin(), noteOn.end()),
              c.chunk.end());
}

TEST(KeyEntry, GlyphIsTheCursorGlyphOfTheRow) {
    auto s = newState();
    for (int row = 0; row <= kTopRow; ++row) {
        for (int length = 0; length < kNoteLengths; ++length) {
            s->view.curLength = static_cast<std::int16_t>(length);
            GlyphItem scratch;
            disp(*s, scratch, 100, 4 * (kTopRow - row));
            const EntryGlyph g = entryGlyph(row, length);
            EXPECT_EQ(g.top, s->pointer.glyphTop) << row << " " << length;
            EXPECT_EQ(g.code, s->pointer.glyphCode) << row << " " << length;
        }
    }
    EXPECT_EQ(entryGlyph(30, 8).code, -8);  // above the treble staff's middle: stem down
    EXPECT_EQ(entryGlyph(20, 12).code, -12);
}

TEST(KeyEntry, PointerStateIsLeftAlone) {
    auto s = enteringState();
    s->pointer.stemDir = -1;
    s->pointer.glyphTop = 77;
    s->pointer.glyphCode = -8;
    ASSERT_EQ(enter(*s, "O3C8").outcome, EntryOutcome::Stored);
    EXPECT_EQ(s->pointer.stemDir, -1);
    EXPECT_EQ(s->pointer.glyphTop, 77);
    EXPECT_EQ(s->pointer.glyphCode, -8);
    EXPECT_EQ(s->view.curLength, 8);
}

// Every key, at every octave setting and in keys with sharps and with flats,
// after a mark on its row or without: the stored note sounds the key pressed.
TEST(KeyEntry, EveryKeyStoresThePitchOfTheKey) {
    for (int setting = 0; setting <= 8; ++setting) {
        for (const int keySignature : {0, 3, 7, -2, -7}) {
            auto s = newState(setting);
            applyKeySignatureRows(*s, keySignature, setting);
            s->piece.keySignature = static_cast<std::int16_t>(keySignature);
            for (int key = 0; key < kPianoKeyCount; ++key) {
                s->view.entryMeasure = 0;
                s->view.entrySlot = 0;
                s->piece.score[0].measures[0].noteCount = 0;
                const KeyPress press = pressKey(key, 0, 600);
                EntryResult r = enter(*s, press.noteText, 8, setting);
                if (r.outcome == EntryOutcome::RowOutOfRange) {
                    EXPECT_TRUE(r.row < 0 || r.row > 95) << setting << " " << key;
                    continue;
                }
                ASSERT_EQ(r.outcome, EntryOutcome::Stored) << setting << " " << key;
                // A neighbour key on the same row may leave its mark; the key
                // pressed again sounds itself all the same.
                const int neighbour = key + (key % 2 ? -1 : 1);
                enter(*s, pressKey(neighbour, 0, 600).noteText, 8, setting);
                enter(*s, press.noteText, 8, setting);
                const std::vector<int> keys = playedKeys(*s);
                ASSERT_EQ(keys.size(), 3u);
                EXPECT_EQ(keys[0], press.pitch) << setting << " " << keySignature << " " << key;
                EXPECT_EQ(keys[1], keyPitch(neighbour)) << setting << " " << keySignature;
                EXPECT_EQ(keys[2], press.pitch) << setting << " " << keySignature << " " << key;
            }
        }
    }
}

TEST(KeyEntry, BlackKeysAndNaturalsAgainstTheKeyStoreAMarkBeforeTheNote) {
    auto s = enteringState();
    EXPECT_TRUE(enter(*s, "O4C#8").marked);   // a sharp on the C row
    EXPECT_FALSE(enter(*s, "O4C#8").marked);  // the sharp is still in force
    EXPECT_TRUE(enter(*s, "O4C8").marked);    // a natural
    const Measure& m = s->piece.score[0].measures[3];
    ASSERT_EQ(m.noteCount, 5);
    const int codes[] = {-28, 6, 6, -30, 6};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(m.noteRow[slot], 21) << slot;
        EXPECT_EQ(m.noteAttr[slot][kAttrCode], codes[slot]) << slot;
    }
    EXPECT_EQ(m.noteAttr[0][kAttrX], 22 - 12);  // the mark stands close before its note
    EXPECT_EQ(m.noteAttr[0][kAttrTop], 84 - 12);
    EXPECT_EQ(compileTrack(s->piece, s->tables, 0).mml, "r1 r1 r1  O4C#8 O4C#8  O4C8 ");

    // In a key with flats the black key is the flat of the row above; B flat
    // is in the key already.
    s = newState();
    applyKeySignatureRows(*s, -2, kSetting);
    s->piece.keySignature = -2;
    switchKeyEntry(*s);
    EXPECT_TRUE(enter(*s, "O4C#8").marked);
    EXPECT_FALSE(enter(*s, "O4A#8").marked);
    EXPECT_TRUE(enter(*s, "O4B8").marked);
    EXPECT_EQ(compileTrack(s->piece, s->tables, 0).mml, "r1 r1 r1  O4D-8 O4B-8  O4B8 ");
}

TEST(KeyEntry, ANoteAndItsMarkMustBothFit) {
    auto s = enteringState();
    for (int k = 0; k < 19; ++k)
        test::appendSlot(*s, 0, 3, 10, 8, 150);
    EXPECT_EQ(enter(*s, "O4C#8", 20).outcome, EntryOutcome::MeasureFull);
    expectUntouched(*s, 3, 19);
    EXPECT_EQ(enter(*s, "O4C8", 20).outcome, EntryOutcome::Stored);
    EXPECT_EQ(s->piece.score[0].measures[3].noteCount, 20);
}

TEST(KeyEntry, NotesSpreadAcrossTheMeasureThenMoveOn) {
    auto s = enteringState();
    for (int k = 1; k <= 8; ++k) {
        const EntryResult r = enter(*s, "O4C8");
        ASSERT_EQ(r.outcome, EntryOutcome::Stored);
        EXPECT_EQ(r.measure, 3);
        EXPECT_EQ(r.slot, k - 1);
        EXPECT_EQ(s->piece.score[0].measures[3].noteAttr[k - 1][kAttrX], 22 * k);
    }
    EXPECT_EQ(s->piece.score[0].measures[3].noteCount, 8);

    EntryResult r = enter(*s, "O4D8");
    EXPECT_EQ(r.measure, 4);
    EXPECT_EQ(r.slot, 0);
    EXPECT_FALSE(r.lastMeasureRaised);  // switching on added measure 4
    EXPECT_EQ(s->piece.score[0].measures[4].noteAttr[0][kAttrX], 22);
    for (int k = 2; k <= 8; ++k)
        enter(*s, "O4D8");
    r = enter(*s, "O4E8");
    EXPECT_EQ(r.measure, 5);
    EXPECT_TRUE(r.lastMeasureRaised);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 5);
    EXPECT_EQ(s->view.entryMeasure, 5);
    EXPECT_EQ(s->view.entrySlot, 1);
}

TEST(KeyEntry, NoteCountZeroStartsAMeasureForEveryNote) {
    auto s = enteringState();
    EntryResult r = enter(*s, "O4C8", 0);
    EXPECT_EQ(r.measure, 4);
    EXPECT_FALSE(r.lastMeasureRaised);
    EXPECT_EQ(s->piece.score[0].measures[4].noteAttr[0][kAttrX], 100);
    r = enter(*s, "O4C8", 0);
    EXPECT_EQ(r.measure, 5);
    EXPECT_TRUE(r.lastMeasureRaised);
    EXPECT_EQ(s->piece.score[0].measures[3].noteCount, 0);
    EXPECT_EQ(s->piece.score[0].measures[5].noteCount, 1);
}

TEST(KeyEntry, FewerNotesPerMeasureChosenMidwayMovesOn) {
    auto s = enteringState();
    for (int k = 0; k < 5; ++k)
        enter(*s, "O4C8", 8);
    EXPECT_EQ(enter(*s, "O4C8", 4).measure, 4);
    EXPECT_EQ(s->piece.score[0].measures[4].noteAttr[0][kAttrX], 40);
}

TEST(KeyEntry, EnteredNotesGoAmongPlacedNotesByOffset) {
    auto s = enteringState();
    test::appendSlot(*s, 0, 3, 10, 8, 30);
    test::appendSlot(*s, 0, 3, 10, 8, 60);
    EXPECT_EQ(enter(*s, "O4C8", 4).slot, 1);  // x 40
    EXPECT_EQ(enter(*s, "O4C8", 4).slot, 3);  // x 80
    EXPECT_EQ(enter(*s, "O4C8", 4).slot, 4);  // x 120
    ASSERT_EQ(s->piece.score[0].measures[3].noteCount, 5);
    const int expected[] = {30, 40, 60, 80, 120};
    for (int slot = 0; slot < 5; ++slot)
        EXPECT_EQ(s->piece.score[0].measures[3].noteAttr[slot][kAttrX], expected[slot]) << slot;
}

TEST(KeyEntry, Refusals) {
    auto s = enteringState();
    EntryResult r = enter(*s, "O2C8", 8, 8);  // row -28
    EXPECT_EQ(r.outcome, EntryOutcome::RowOutOfRange);
    EXPECT_FALSE(entryNotice(r.outcome).empty());
    expectUntouched(*s, 3, 0);
    EXPECT_EQ(enter(*s, "O0B8").outcome, EntryOutcome::RowOutOfRange);  // row -1
    expectUntouched(*s, 3, 0);
    EXPECT_EQ(enter(*s, "O1C8").outcome, EntryOutcome::Stored);  // row 0

    for (int k = 0; k < 19; ++k)
        test::appendSlot(*s, 0, 3, 10, 8, 150);
    r = enter(*s, "O4C8", 20);
    EXPECT_EQ(r.outcome, EntryOutcome::MeasureFull);
    EXPECT_NE(entryNotice(r.outcome), entryNotice(EntryOutcome::RowOutOfRange));
    expectUntouched(*s, 3, 20);
    EXPECT_EQ(s->view.entrySlot, 1);

    s->view.entryMeasure = 200;
    s->view.entrySlot = 8;
    r = enter(*s, "O4C8");
    EXPECT_EQ(r.outcome, EntryOutcome::MeasureOutOfRange);
    EXPECT_FALSE(entryNotice(r.outcome).empty());
    expectUntouched(*s, 200, 0);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 4);
    EXPECT_EQ(enter(*s, "O4C8", 9).outcome, EntryOutcome::Stored);
    EXPECT_EQ(s->piece.score[0].lastMeasure, 200);
}

TEST(KeyEntry, TextThatIsNoNoteIsIgnored) {
    auto s = enteringState();
    for (const char* text : {"", "X4C8", "O4C", "O4C3", "o4c8"}) {
        const EntryResult r = enter(*s, text);
        EXPECT_EQ(r.outcome, EntryOutcome::Ignored) << text;
        EXPECT_TRUE(entryNotice(r.outcome).empty());
    }
    expectUntouched(*s, 3, 0);
    EXPECT_EQ(s->view.entrySlot, 0);
}

}  // namespace
}  // namespace tsuzuri
