#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "midi/track_compiler.h"
#include "support/form_fixture.h"
#include "support/score_builder.h"
#include "ui/updown.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

struct KeySignatureTest : test::FormTest {
    void press(QPushButton* button, int times = 1) {
        for (int i = 0; i < times; ++i) {
            QTest::mousePress(button, Qt::LeftButton);
            QTest::mouseRelease(button, Qt::LeftButton);
        }
    }
    void flats(int times = 1) { press(form->Command5, times); }
    void sharps(int times = 1) { press(form->Command6, times); }
    int shownGlyphs() {
        int shown = 0;
        for (int i = 0; i < 14; ++i) {
            const GlyphItem& glyph = form->Image3(i);
            shown += glyph.picture != kNoPicture && glyph.top >= 0 ? 1 : 0;
        }
        return shown;
    }
};

TEST_F(KeySignatureTest, ThreeFlatsShowSixGlyphsAndLowerBEA) {
    const auto natural = std::make_unique<EditorState>(state());
    flats(3);
    EXPECT_EQ(state().piece.keySignature, -3);
    EXPECT_EQ(shownGlyphs(), 6);
    EXPECT_EQ(form->Image3(0).left, 27);
    EXPECT_EQ(form->Image3(0).top, 43);
    EXPECT_EQ(form->Image3(1).top, 99);
    EXPECT_EQ(form->Image3(5).left, 36);
    EXPECT_EQ(form->Image3(5).top, 103);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form->Image3(i).picture, kFlatPicture) << i;
    for (int row = 0; row < 56; ++row) {
        const int degree = row % 7;
        const bool lowered = degree == 6 || degree == 2 || degree == 5;
        EXPECT_EQ(state().tables.rowMidi[row], natural->tables.rowMidi[row] - (lowered ? 1 : 0))
            << row;
        const std::string& name = state().tables.rowNames[row];
        EXPECT_EQ(name.back() == '-', lowered) << row << " " << name;
    }
    EXPECT_EQ(state().tables.rowNames[27], "O4B-");
    // Row-octave 8 keeps its name.
    EXPECT_EQ(state().tables.rowNames[62], natural->tables.rowNames[62]);
    EXPECT_TRUE(form->Picture2->hasFocus());
}

TEST_F(KeySignatureTest, TheEighthPressClearsEverything) {
    const auto natural = std::make_unique<EditorState>(state());
    flats(7);
    EXPECT_EQ(shownGlyphs(), 14);
    EXPECT_EQ(state().tables.rowNames[24], "O4F-");  // the seventh flat
    flats();
    EXPECT_EQ(state().piece.keySignature, 0);
    EXPECT_EQ(shownGlyphs(), 0);
    for (int row = 0; row < 96; ++row) {
        EXPECT_EQ(state().tables.rowNames[row], natural->tables.rowNames[row]) << row;
        EXPECT_EQ(state().tables.rowMidi[row], natural->tables.rowMidi[row]) << row;
    }
}

TEST_F(KeySignatureTest, TheOtherButtonClearsBeforeItAdds) {
    sharps(2);
    EXPECT_EQ(state().piece.keySignature, 2);
    flats();
    EXPECT_EQ(state().piece.keySignature, 0);
    EXPECT_EQ(shownGlyphs(), 0);
    EXPECT_EQ(state().tables.rowNames[24], "O4F");
    flats();
    EXPECT_EQ(state().piece.keySignature, -1);
    EXPECT_EQ(state().tables.rowNames[27], "O4B-");
}

TEST_F(KeySignatureTest, SevenSharpsMakeBSoundAsTheNextC) {
    sharps(7);
    EXPECT_EQ(form->Image3(0).left, 26);
    EXPECT_EQ(form->Image3(0).top, 32);
    EXPECT_EQ(form->Image3(1).top, 88);  // on the bass F line, 56 below the treble sign
    EXPECT_EQ(form->Image3(13).top, 104);
    EXPECT_EQ(form->Image3(13).picture, kSharpPicture);
    EXPECT_EQ(state().tables.rowNames[27], "O4B#");
    EXPECT_EQ(state().tables.rowMidi[27], 72);  // the C above, which itself now sounds C#
    EXPECT_EQ(state().tables.rowMidi[28], 73);
    EXPECT_EQ(state().tables.rowNames[23], "O4E#");
    EXPECT_EQ(state().tables.rowMidi[23], 65);
}

TEST_F(KeySignatureTest, NamesFollowTheOctaveSettingAndSurviveItsChange) {
    form->UpDown1->setValue(3);
    flats();
    EXPECT_EQ(state().tables.rowNames[6], "O0B-");
    EXPECT_EQ(state().tables.rowMidi[6], 22);  // B flat below the C of MIDI 24
    form->UpDown1->setValue(4);         // the key signature is applied again
    EXPECT_EQ(state().piece.keySignature, -1);
    EXPECT_EQ(shownGlyphs(), 2);
    EXPECT_EQ(state().tables.rowNames[6], "O1B-");
    EXPECT_EQ(state().tables.rowMidi[6], 34);
    EXPECT_EQ(form->Text3->text(), "4");
}

TEST_F(KeySignatureTest, NotesCompileWithTheKeyWheneverTheyWerePlaced) {
    test::appendSlot(state(), 0, 0, 27, 8);  // B4 placed before the key signature
    flats();
    test::appendSlot(state(), 0, 0, 27, 8);  // and one after
    const CompiledTrack c = compileTrack(state().piece, state().tables, 0);
    EXPECT_EQ(c.mml, "O4B-4 O4B-4 ");
    EXPECT_EQ(c.chunk[13], 70);  // B flat
    EXPECT_EQ(c.chunk[21], 70);
}

TEST_F(KeySignatureTest, TheKeySignatureBelongsToTheWindowNotTheTrack) {
    flats(2);
    QTest::mouseClick(form->Command4, Qt::LeftButton);
    EXPECT_EQ(state().view.curTrack, 1);
    EXPECT_EQ(state().piece.keySignature, -2);
    EXPECT_EQ(shownGlyphs(), 4);
    EXPECT_EQ(state().tables.rowNames[23], "O4E-");
}

// The key signature as drawn on the canvas, one sign at a time against the
// bare staff: each sign's ink (dark pixels) centred on the line or space of its
// degree (a flat by its bowl, right of its stem), and at seven signs no two
// signs touching.
struct KeySignaturePictureTest : KeySignatureTest {
    using Mask = std::vector<QPoint>;

    QImage canvasWith(int shown) {
        std::array<double, 14> tops{};
        for (int i = 0; i < 14; ++i) {
            tops[i] = form->Image3(i).top;
            if (i != shown)
                form->Image3(i).top = -100;
        }
        const QImage image = form->Picture2->grab(form->Picture2->contentsRect()).toImage();
        for (int i = 0; i < 14; ++i)
            form->Image3(i).top = tops[i];
        return image;
    }

    // The dark pixels sign `shown` adds to the bare staff.
    Mask inkOf(int shown) {
        const QImage bare = canvasWith(-1);
        const QImage image = canvasWith(shown);
        Mask ink;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 66; ++x) {
                if (qGray(image.pixel(x, y)) < 100 && image.pixel(x, y) != bare.pixel(x, y))
                    ink.push_back({x, y});
            }
        }
        return ink;
    }

    static double centreY(const Mask& ink, bool flat) {
        int stem = 0;
        if (flat) {  // the flat's stem: its column with the most ink
            std::map<int, int> columns;
            for (QPoint p : ink)
                ++columns[p.x()];
            stem = std::max_element(columns.begin(), columns.end(), [](auto a, auto b) {
                       return a.second < b.second;
                   })->first;
        }
        double sum = 0;
        int n = 0;
        for (QPoint p : ink) {
            if (flat && p.x() <= stem + 1)
                continue;
            sum += p.y() + 0.5;
            ++n;
        }
        return n ? sum / n : -1;
    }

    static bool touch(const Mask& a, const Mask& b) {
        for (QPoint p : a) {
            for (QPoint q : b) {
                if (std::abs(p.x() - q.x()) <= 1 && std::abs(p.y() - q.y()) <= 1)
                    return true;
            }
        }
        return false;
    }

    // The treble line or space of each sign in order; the bass sign two
    // octaves (56 pixels) lower.
    void check(bool flat) {
        const int sharpsAt[] = {40, 52, 36, 48, 60, 44, 56};  // F C G D A E B
        const int flatsAt[] = {56, 44, 60, 48, 64, 52, 68};   // B E A D G C F
        for (int k = 1; k <= 7; ++k) {
            if (flat)
                flats();
            else
                sharps();
            std::vector<Mask> signs;
            for (int i = 0; i < 2 * k; ++i) {
                signs.push_back(inkOf(i));
                const int lineY = (flat ? flatsAt : sharpsAt)[i / 2] + (i % 2 ? 56 : 0);
                ASSERT_GT(signs.back().size(), 15u) << k << " sign " << i;
                EXPECT_NEAR(centreY(signs.back(), flat), lineY + 0.5, 1.0)
                    << (flat ? "flats " : "sharps ") << k << ", sign " << i;
            }
            if (k < 7)
                continue;
            for (size_t a = 0; a < signs.size(); ++a) {
                for (size_t b = a + 1; b < signs.size(); ++b)
                    EXPECT_FALSE(touch(signs[a], signs[b])) << "signs " << a << " and " << b;
            }
        }
    }
};

TEST_F(KeySignaturePictureTest, SharpsSitOnTheirDegreesAndNeverTouch) {
    check(false);
}

TEST_F(KeySignaturePictureTest, FlatsSitOnTheirDegreesAndNeverTouch) {
    check(true);
}

}  // namespace
}  // namespace tsuzuri
