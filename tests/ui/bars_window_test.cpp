// The meter through the real window: the meter box, what trk♪ and all♪ play
// under it, its step of the history, old score files, and the measure
// numbers and beats read-out on the staff.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QUndoStack>

#include "io/safe_file.h"
#include "score/canvas_driver.h"
#include "support/midi_reader.h"
#include "view/measure_numbers.h"

namespace tsuzuri {
namespace {

class BarsWindowTest : public test::CanvasTest {
protected:
    // A quarter note (the palette's choice at start) placed with the pointer
    // in view column `column` on middle C's line between the staves.
    void quarterIn(int column) { placeAt(100 + 200 * column, 82); }

    // The notes trk♪ (F5) or all♪ (F6) write into trk.mid, read by midicsv:
    // (tick, key) of each note on.
    std::vector<std::pair<long, int>> played(Qt::Key key) {
        QTest::keyClick(canvas(), key);
        const test::MidiListing listing = test::readWithMidicsv(dir.path() / "trk.mid");
        EXPECT_TRUE(listing.ok) << listing.diagnostics;
        std::vector<std::pair<long, int>> on;
        for (const test::MidiRecord& r : listing.ofType("Note_on_c"))
            on.emplace_back(r.time, std::stoi(r.fields[1]));
        return on;
    }
    QString text1() { return form->Text1->toPlainText(); }

    // Chooses a meter with the keyboard in the meter box, as a user does.
    void chooseMeter(Qt::Key key) {
        form->Combo2->setFocus();
        QTest::keyClick(form->Combo2, key);
        canvas()->setFocus();
    }

    QImage canvasImage() {
        return canvas()
            ->grab(canvas()->contentsRect())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // Pixels of the measure number red around the top of bar line x.
    int redAt(const QImage& image, int x) {
        int count = 0;
        for (int y = 24; y < 40; ++y) {
            for (int dx = -10; dx <= 10; ++dx) {
                const QColor c = image.pixelColor(x + dx, y);
                count += c.red() > 150 && c.green() < 110 && c.blue() < 110 ? 1 : 0;
            }
        }
        return count;
    }
    int inkAt(const QImage& image, int x) {
        int count = 0;
        for (int y = 24; y < 40; ++y) {
            for (int dx = -10; dx <= 10; ++dx)
                count += qGray(image.pixel(x + dx, y)) < 140 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(BarsWindowTest, AnEmptyAndAHalfFilledMeasureSoundTheirSilence) {
    EXPECT_EQ(form->Combo2->currentText(), "4/4");
    quarterIn(0);
    quarterIn(2);  // measure 2 stays empty
    EXPECT_EQ(played(Qt::Key_F5), (std::vector<std::pair<long, int>>{{0, 60}, {256, 60}}));
    EXPECT_EQ(text1(), "O4C4 r2. r1 O4C4 ");

    chooseMeter(Qt::Key_Down);  // 3/4
    EXPECT_EQ(form->Combo2->currentText(), "3/4");
    EXPECT_EQ(played(Qt::Key_F5), (std::vector<std::pair<long, int>>{{0, 60}, {192, 60}}));
    EXPECT_EQ(text1(), "O4C4 r2 r2. O4C4 ");
    chooseMeter(Qt::Key_End);  // the free meter: measures take what they hold
    EXPECT_EQ(form->Combo2->currentText(), QStringLiteral("自由"));
    EXPECT_EQ(played(Qt::Key_F5), (std::vector<std::pair<long, int>>{{0, 60}, {32, 60}}));
    EXPECT_EQ(text1(), "O4C4 O4C4 ");

    // The meter is one step of the history, as the box names it.
    QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Combo2->currentText(), "3/4");
    EXPECT_EQ(form->Notice->text(), QStringLiteral("元に戻しました：拍子"));
    EXPECT_EQ(state().piece.meter, (Meter{3, 4}));
    QTest::keyClick(canvas(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Combo2->currentText(), "4/4");
    EXPECT_EQ(played(Qt::Key_F5), (std::vector<std::pair<long, int>>{{0, 60}, {256, 60}}));
    QTest::keyClick(canvas(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(form->Combo2->currentText(), "3/4");
}

// A melody that enters in measure 3 over a bass from measure 1: all♪ plays
// them in time, and after a new meter too, without compiling them again by hand.
TEST_F(BarsWindowTest, TracksOfDifferentLengthsStayInTimeWithAllPlay) {
    quarterIn(0);
    quarterIn(1);
    quarterIn(2);
    QTest::keyClick(canvas(), Qt::Key_F5);
    QTest::mouseClick(form->Command4, Qt::LeftButton);  // track 2
    placeAt(500, 60);                                   // measure 3, a B above
    const int melodyKey = state().tables.rowMidi[state().piece.score[1].measures[2].noteRow[0]];
    QTest::keyClick(canvas(), Qt::Key_F5);
    auto all = played(Qt::Key_F6);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all,
              (std::vector<std::pair<long, int>>{{0, 60}, {128, 60}, {256, 60}, {256, melodyKey}}));
    chooseMeter(Qt::Key_Down);
    chooseMeter(Qt::Key_Down);  // 2/4
    all = played(Qt::Key_F6);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all,
              (std::vector<std::pair<long, int>>{{0, 60}, {64, 60}, {128, 60}, {128, melodyKey}}));
}

TEST_F(BarsWindowTest, AScoreFileSavedBeforeMetersOpensInTheFreeMeterAndPlaysAsBefore) {
    const auto path = dir.path() / "old piece.tsz";
    const std::string old =
        R"({"format": "tsuzuri-score", "version": 1, "keySignature": 0, "octave": 4,
            "trackCount": 3, "currentTrack": 0, "firstMeasure": 0, "mml": "",
            "tracks": [{"program": 105, "lastMeasure": 3, "ticked": true, "measures": [
              {"measure": 0, "notes": [[20, 46, 8, 21]]},
              {"measure": 2, "notes": [[20, 46, 8, 23]]}]}]})";
    ASSERT_EQ(writeFileAtomically(path, std::vector<std::uint8_t>(old.begin(), old.end())), "");
    form->openScoreFile(path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->documentPath() == path; }, 5000));
    EXPECT_EQ(form->Combo2->currentText(), QStringLiteral("自由"));
    EXPECT_EQ(form->undoStack()->count(), 0);
    EXPECT_FALSE(form->hasUnsavedChanges());
    EXPECT_EQ(played(Qt::Key_F6), (std::vector<std::pair<long, int>>{{0, 60}, {32, 64}}));
    EXPECT_EQ(played(Qt::Key_F5), (std::vector<std::pair<long, int>>{{0, 60}, {32, 64}}));
    EXPECT_EQ(text1(), "O4C4 O4E4 ");
}

// A short measure's number is red on the staff, and the read-out over it says
// how many beats it holds; a full measure's and every number in the free
// meter keep the ink of the staff.
TEST_F(BarsWindowTest, AShortMeasureShowsItsNumberInRedAndItsBeats) {
    quarterIn(0);  // measure 1: one beat of four
    for (int i = 0; i < 4; ++i)
        placeAt(290 + 40 * i, 82);  // measure 2: four beats
    quarterIn(3);                   // measure 4; measure 3 empty
    QImage image = canvasImage();
    for (const int x : {65, 265, 465, 665})
        EXPECT_GT(inkAt(image, x), 4) << "a number above bar line " << x;
    EXPECT_GT(redAt(image, 65), 4);
    EXPECT_EQ(redAt(image, 265), 0) << "a full measure";
    EXPECT_GT(redAt(image, 465), 4) << "an empty measure before the last";
    EXPECT_EQ(redAt(image, 665), 0) << "the last measure";

    moveTo(120, 60);
    EXPECT_EQ(form->Label15->text(), QStringLiteral("1/4拍"));
    EXPECT_EQ(form->Label15->palette().color(QPalette::WindowText), kMeasureNumberRed);
    moveTo(320, 60);
    EXPECT_EQ(form->Label15->text(), "");
    moveTo(520, 60);
    EXPECT_EQ(form->Label15->text(), QStringLiteral("0/4拍"));

    chooseMeter(Qt::Key_End);
    image = canvasImage();
    for (const int x : {65, 265, 465, 665})
        EXPECT_EQ(redAt(image, x), 0) << x;
    moveTo(120, 60);
    EXPECT_EQ(form->Label15->text(), "");
}

}  // namespace
}  // namespace tsuzuri
