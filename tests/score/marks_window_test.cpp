// The palette's marks through the real window: placed with the mouse, heard
// in the trk.mid that trk♪ writes and read in the MML text it regenerates.
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "midi/preview.h"
#include "score/canvas_driver.h"
#include "state/meter.h"
#include "state/palette_index.h"
#include "support/chunk_notes.h"

namespace tsuzuri {
namespace {

using test::Played;

// Staff rows at octave setting 4.
constexpr int kF3 = 17, kC4 = 21, kD4 = 22, kE4 = 23, kF4 = 24, kG4 = 25, kB4 = 27, kHigh = 30;
// Palette indices of the lengths used.
constexpr int kSixteenth = 4, kEighth = 6, kDottedEighth = 7, kQuarter = 8;

class MarksWindowTest : public test::CanvasTest {
protected:
    // Chooses palette entry `index` and places it on `row` with the pointer at x.
    void put(int index, int x, int row) {
        choosePalette(index);
        placeAt(x, 4 * (42 - row) - 2);
    }
    std::string text1() { return form->Text1->toPlainText().toStdString(); }
    std::uint8_t previewKey() {
        return test::readBytes(dir.path() / "c.mid").at(kPreviewKeyOffset);
    }
    // trk♪, and the notes of the one track of the trk.mid it wrote.
    test::ChunkNotes playTrack() {
        QTest::mouseClick(form->Command1, Qt::LeftButton);
        const auto file = test::readBytes(dir.path() / "trk.mid");
        constexpr std::size_t kHeaderBytes = 14;
        return test::notesOfChunk({file.begin() + kHeaderBytes, file.end()});
    }
};

// A sharp alters the later notes of its row in its measure only, a tie
// carries it over the bar line as one note, and a natural undoes the key
// signature's flat; placement writes and previews what each note sounds.
TEST_F(MarksWindowTest, AccidentalsAndATieSoundAsTheStaffShowsThem) {
    QTest::mousePress(form->Command5, Qt::LeftButton);  // one flat: B flat
    put(kQuarter, 75, kF4);
    put(kSharpIndex, 105, kF4);
    put(kQuarter, 135, kF4);
    EXPECT_EQ(previewKey(), 66);  // F sharp, as it will play
    put(kQuarter, 165, kF3);      // another octave keeps its natural
    put(kQuarter, 195, kF4);
    put(kArcIndex, 225, kF4);
    put(kQuarter, 275, kF4);  // measure 2, tied over
    put(kQuarter, 305, kB4);
    put(kNaturalIndex, 335, kB4);
    put(kQuarter, 365, kB4);
    EXPECT_EQ(previewKey(), 71);
    EXPECT_EQ(text1(), "O4F4  O4F#4 O3F4 O4F#4  O4F4 O4B-4  O4B4 ");

    const test::ChunkNotes notes = playTrack();
    EXPECT_EQ(notes.notes, (std::vector<Played>{{0, 32, 65, 64},
                                                {32, 64, 66, 64},
                                                {64, 96, 53, 64},
                                                {96, 160, 66, 64},
                                                {160, 192, 70, 64},
                                                {192, 224, 71, 64}}));
    EXPECT_EQ(text1(), "O4F4  O4F#4 O3F4 O4F#4 & O4F#4 O4B-4  O4B4 ");
}

// Triplets and quintuplets take exact tick lengths, a dotted member leaves
// its arc silent, V0 silences the notes after it and V12 plays them loud. The
// free meter lets each measure last as long as what it holds.
TEST_F(MarksWindowTest, TupletsAndVolumeMarksSoundAsTheStaffShowsThem) {
    form->Combo2->setCurrentIndex(kMeterCount - 1);
    put(kTripletArcIndex, 75, kHigh);
    for (const auto& [x, row] : {std::pair{105, kC4}, {135, kD4}, {165, kE4}})
        put(kEighth, x, row);
    put(kQuintupletArcIndex, 275, kHigh);
    for (const auto& [x, row] :
         {std::pair{300, kC4}, {325, kD4}, {350, kE4}, {375, kF4}, {400, kG4}})
        put(kSixteenth, x, row);
    put(kTripletArcIndex, 475, kHigh);
    put(kEighth, 505, kC4);
    put(kDottedEighth, 535, kD4);
    put(kEighth, 565, kE4);
    put(kFirstVolumeIndex, 675, kHigh);  // V0
    put(kQuarter, 705, kC4);
    put(kFirstVolumeIndex + 12, 735, kHigh);
    put(kQuarter, 765, kD4);
    EXPECT_EQ(text1(),
              " O4C8 O4D8 O4E8  O4C16 O4D16 O4E16 O4F16 O4G16  O4C8 O4D8. O4E8 V0 O4C4 V12 O4D4 ");

    const test::ChunkNotes notes = playTrack();
    EXPECT_EQ(notes.notes, (std::vector<Played>{{0, 11, 60, 64},
                                                {11, 21, 62, 64},
                                                {21, 32, 64, 64},
                                                {32, 38, 60, 64},
                                                {38, 45, 62, 64},
                                                {45, 51, 64, 64},
                                                {51, 58, 65, 64},
                                                {58, 64, 67, 64},
                                                {64, 80, 60, 64},
                                                {80, 104, 62, 64},
                                                {104, 120, 64, 64},
                                                {152, 184, 62, 96}}));
    EXPECT_EQ(notes.end, 184 + 32);
    EXPECT_EQ(text1(),
              " O4C12 O4D12 O4E12  O4C20 O4D20 O4E20 O4F20 O4G20  O4C8 O4D8. O4E8 V0 O4C4 V12 "
              "O4D4 ");
}

}  // namespace
}  // namespace tsuzuri
