// The on-screen piano and the optimizer button through the real widgets.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "midi/preview.h"
#include "mml/piano.h"
#include "score/canvas_geometry.h"
#include "state/palette_index.h"
#include "support/chunk_notes.h"
#include "support/form_fixture.h"
#include "ui/updown.h"
#include "view/event_codes.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

constexpr int kMiddleCKey = 36;  // MIDI 60, "O4C" as the score names it

struct PianoWindowTest : test::FormTest {
    void SetUp() override {
        FormTest::SetUp();
        form->resize(889, 530);  // the keyboard panel in view
        QApplication::processEvents();
    }
    // Presses and releases key k at (x, y) pixels from its top-left corner.
    void play(int k, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        const GlyphItem& key = form->Image1(k);
        const QPoint at(static_cast<int>(key.left) + x + KeyboardPanel::kBorder,
                        static_cast<int>(key.top) + y + KeyboardPanel::kBorder);
        QTest::mousePress(form->Picture1, button, {}, at);
        framedWhilePressed = form->Image1(k).framed;
        QTest::mouseRelease(form->Picture1, button, {}, at);
    }
    std::string text1() { return form->Text1->toPlainText().toStdString(); }
    std::uint8_t previewKey() {
        return test::readBytes(dir.path() / "c.mid").at(kPreviewKeyOffset);
    }
    int notesInScore() {
        int total = 0;
        for (int m = 0; m < kMeasureCount; ++m)
            total += state().piece.score[0].measures[m].noteCount;
        return total;
    }
    bool framedWhilePressed = false;
};

TEST_F(PianoWindowTest, AKeySoundsShowsItsOffsetsAndAppendsItsNote) {
    play(kMiddleCKey, 9, 90);  // 1350 twips down: a quarter note
    EXPECT_TRUE(framedWhilePressed);
    EXPECT_FALSE(form->Image1(kMiddleCKey).framed);
    EXPECT_EQ(previewKey(), 60);
    const std::string preview = (dir.path() / "c.mid").string();
    ASSERT_EQ(sequencer.commands.size(), 2u);
    EXPECT_EQ(sequencer.commands[1], playCommand(preview));
    EXPECT_EQ(form->Label6->text(), " 135 1350");
    EXPECT_EQ(text1(), "O4C4 ");
    EXPECT_EQ(notesInScore(), 0);  // keyboard entry is off: the score stays as it was

    play(kMiddleCKey + 1, 8, 10, Qt::RightButton);  // C#, a black key over its neighbours
    EXPECT_EQ(previewKey(), 61);
    EXPECT_EQ(text1(), "O4C4 O4C#8 ");
    play(0, 5, 100);
    play(57, 18, 2);  // right of the G# that overlaps its left edge
    EXPECT_EQ(text1(), "O4C4 O4C#8 O1C2 O5A64 ");
}

TEST_F(PianoWindowTest, ZoneBoundsInTwips) {
    const std::pair<double, const char*> white[] = {
        {119, "64"}, {120, "32"}, {1439, "4"}, {1440, "2"}};
    for (const auto& [y, length] : white) {
        form->Text1->clear();
        form->Image1_MouseDown(kMiddleCKey, kLeftButton, 0, 30, y);
        form->Image1_MouseUp(kMiddleCKey, kLeftButton, 0, 30, y);
        EXPECT_EQ(text1(), std::string("O4C") + length + " ") << y;
    }
    form->Text1->clear();
    form->Image1_MouseDown(kMiddleCKey + 1, kLeftButton, 0, 30, 119);
    EXPECT_EQ(text1(), "O4C#16 ");
}

TEST_F(PianoWindowTest, InKeyboardEntryTheNoteLandsInTheScoreOnItsLine) {
    QTest::mouseClick(form->Command16, Qt::LeftButton);
    const int m = state().view.entryMeasure;
    play(kMiddleCKey, 9, 90);
    ASSERT_EQ(state().piece.score[0].measures[m].noteCount, 1);
    EXPECT_EQ(state().piece.score[0].measures[m].noteRow[0],
              21);  // middle C on the guide line between the staves
    EXPECT_EQ(state().piece.score[0].measures[m].noteAttr[0][kAttrCode], 8);
    const GlyphItem& glyph = form->Image4(glyphForSlot(m, 0));
    EXPECT_EQ(glyph.top, 80 + 4 - 34);  // stem up, its head on y 80
    EXPECT_EQ(glyph.left, state().piece.score[0].measures[m].noteAttr[0][kAttrX] +
                              (m - state().view.firstMeasure) * 200 + 70);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    // The piano's text and the score's name one pitch alike; the empty
    // measures before the entry measure are bars of rest in 4/4.
    EXPECT_EQ(text1(), "r1 r1 r1 O4C4 ");
}

// Against a key of one sharp, a white F key stores a natural before its note
// and the black C sharp key a sharp before C: trk♪ plays the keys pressed.
TEST_F(PianoWindowTest, KeyboardEntryMarksWhatTheKeySignatureWouldChange) {
    QTest::mousePress(form->Command6, Qt::LeftButton);  // F sharp
    QTest::mouseClick(form->Command16, Qt::LeftButton);
    const Measure& measure = state().piece.score[0].measures[state().view.entryMeasure];
    play(kMiddleCKey + 5, 9, 90);  // F, MIDI 65
    play(kMiddleCKey + 1, 8, 10);  // C sharp, MIDI 61
    EXPECT_EQ(previewKey(), 61);
    ASSERT_EQ(measure.noteCount, 4);
    const int rows[] = {24, 24, 21, 21};
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(measure.noteRow[slot], rows[slot]) << slot;
    EXPECT_EQ(std::abs(measure.noteAttr[0][kAttrCode]), kNaturalIndex);
    EXPECT_EQ(std::abs(measure.noteAttr[2][kAttrCode]), kSharpIndex);
    QTest::mouseClick(form->Command1, Qt::LeftButton);
    const auto file = test::readBytes(dir.path() / "trk.mid");
    const auto played = test::notesOfChunk({file.begin() + 14, file.end()}).notes;
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0].key, 65);
    EXPECT_EQ(played[1].key, 61);
    EXPECT_NE(text1().find(" O4F4  O4C#"), std::string::npos) << text1();
}

TEST_F(PianoWindowTest, KeyboardEntryMovesOnAfterTheNoteCount) {
    form->UpDown4->setValue(2);
    QTest::mouseClick(form->Command16, Qt::LeftButton);  // the track gains measure 4
    const int m = state().view.entryMeasure;
    ASSERT_EQ(m, 3);
    EXPECT_EQ(form->Slider1->maximum(), 5);
    for (int k : {36, 38, 40, 41, 43})
        play(k, 9, 90);
    EXPECT_EQ(state().piece.score[0].measures[3].noteCount, 2);
    EXPECT_EQ(state().piece.score[0].measures[4].noteCount, 2);
    EXPECT_EQ(state().piece.score[0].measures[5].noteCount, 1);
    EXPECT_LT(state().piece.score[0].measures[3].noteAttr[0][kAttrX],
              state().piece.score[0].measures[3].noteAttr[1][kAttrX]);
    EXPECT_EQ(state().piece.score[0].lastMeasure, 5);  // passing the last measure raises it
    EXPECT_EQ(form->Slider1->maximum(), 6);
}

TEST_F(PianoWindowTest, ANoteWithoutAStaffRowIsRefusedButStillSoundsAndIsWritten) {
    form->UpDown1->setValue(8);  // the lowest keys have no row at this octave setting
    QTest::mouseClick(form->Command16, Qt::LeftButton);
    play(0, 5, 100);
    EXPECT_EQ(notesInScore(), 0);
    EXPECT_FALSE(form->Notice->text().isEmpty());
    EXPECT_EQ(previewKey(), 24);
    EXPECT_EQ(text1(), "O1C2 ");
}

TEST_F(PianoWindowTest, TheOptimizerButtonShortensTheText) {
    form->Text1->setPlainText("O4C4 O4D4 O4E8 ");
    QTest::mouseClick(form->Command15, Qt::LeftButton);
    EXPECT_EQ(form->Text2->toPlainText(), "CDE8");
    EXPECT_EQ(form->Label13->text(), QStringLiteral(" 4文字"));
    EXPECT_EQ(form->Text1->toPlainText(), "O4C4 O4D4 O4E8 ");
    EXPECT_TRUE(form->Picture2->hasFocus());
    form->Text1->setPlainText("O4C8 O4D8 O4E8 ");
    QTest::mouseClick(form->Check2, Qt::LeftButton);  // double length
    QTest::mouseClick(form->Command15, Qt::LeftButton);
    EXPECT_EQ(form->Text2->toPlainText(), "CDE");
}

}  // namespace
}  // namespace tsuzuri
