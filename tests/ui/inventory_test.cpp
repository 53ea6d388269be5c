#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>

#include "score/canvas_geometry.h"
#include "support/form_fixture.h"
#include "ui/updown.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {
namespace {

struct Expected {
    const char* name;
    const char* container;
    int left, top, width, height;  // pixels in the container's client area
    const char* text;              // caption or text, nullptr when not checked
};

// Every single control of the window; arrays are checked below.
const Expected kControls[] = {
    {"Label8", "Form1", 0, 4, 65, 13, "Trk="},
    {"Text5", "Form1", 28, 0, 25, 15, "1"},
    {"UpDown2", "Form1", 52, 0, 16, 17, nullptr},
    {"Label9", "Form1", 80, 4, 65, 13, "MaxTrk"},
    {"Text6", "Form1", 120, 0, 25, 15, "3"},
    {"UpDown3", "Form1", 144, 0, 16, 17, nullptr},
    {"Label10", "Form1", 164, 4, 65, 13, "小節"},
    {"Label7", "Form1", 240, 0, 65, 17, "Octave="},
    {"Text3", "Form1", 288, 0, 17, 15, "4"},
    {"UpDown1", "Form1", 304, 0, 16, 17, nullptr},
    {"Label1", "Form1", 378, 0, 47, 13, "Tempo ="},
    {"Text4", "Form1", 424, 0, 39, 15, "120"},
    {"Combo1", "Form1", 560, 0, 89, 20, nullptr},
    {"Command18", "Form1", 672, 0, 45, 17, "load"},
    {"Command14", "Form1", 716, 0, 45, 17, "save"},
    {"Label14", "Form1", 764, 4, 28, 13, "拍子"},
    {"Combo2", "Form1", 792, 0, 93, 20, nullptr},
    {"Label15", "Form1", 468, 4, 89, 13, ""},
    {"Command5", "Form1", 0, 64, 13, 33, ""},
    {"Command6", "Form1", 0, 96, 13, 33, ""},
    {"Picture2", "Form1", 12, 16, 869, 157, nullptr},
    {"Command3", "Picture2", 0, 0, 29, 17, "▲"},
    {"Command4", "Picture2", 0, 136, 29, 17, "▼"},
    {"Command12", "Picture2", 28, 136, 29, 17, "◀"},
    {"Command13", "Picture2", 836, 136, 29, 17, "▶"},
    {"Slider1", "Form1", 4, 168, 889, 33, nullptr},
    {"Command17", "Form1", 452, 236, 25, 25, "×"},
    {"Frame1", "Form1", 0, 256, 149, 29, nullptr},
    {"Command1", "Frame1", 4, 8, 37, 17, "trk♪"},
    {"Command7", "Frame1", 44, 8, 33, 17, "all♪"},
    {"Command10", "Frame1", 80, 8, 33, 17, "♪4"},
    {"Command11", "Frame1", 116, 8, 33, 17, "♪4a"},
    {"Label2", "Form1", 152, 268, 33, 13, "Label2"},
    {"Label3", "Form1", 190, 268, 45, 13, "Label3"},
    {"Text1", "Form1", 0, 284, 885, 73, ""},
    {"Command8", "Form1", 232, 292, 45, 17, "Command8"},
    {"Command9", "Form1", 424, 296, 33, 21, "Command9"},
    {"Label4", "Form1", 284, 300, 139, 13, "Label4"},
    {"Label5", "Form1", 460, 300, 125, 13, "Label5"},
    {"Label6", "Form1", 500, 300, 193, 21, "Label6"},
    {"Command15", "Form1", 0, 356, 57, 13, "↓optimize"},
    {"Check2", "Form1", 60, 356, 49, 13, "倍速"},
    {"Label13", "Form1", 152, 356, 65, 13, ""},
    {"Label12", "Form1", 636, 356, 45, 13, "音符数"},
    {"Text7", "Form1", 672, 356, 21, 14, "8"},
    {"UpDown4", "Form1", 692, 356, 16, 17, nullptr},
    {"Command16", "Form1", 716, 356, 73, 13, "鍵盤入力"},
    {"Check1", "Form1", 792, 356, 89, 17, "音長同時入力"},
    {"Text2", "Form1", 0, 368, 885, 49, ""},
    {"Picture1", "Form1", 0, 416, 881, 109, nullptr},
};

QString textOf(const QWidget* w) {
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* t = qobject_cast<const QPlainTextEdit*>(w))
        return t->toPlainText();
    return {};
}

using InventoryTest = test::FormTest;

QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? w->parentWidget()->objectName() + "/entry" : w->objectName();
}

// The controls that Tab visits, in turn from the first after the window.
std::string tabOrder(QWidget& window) {
    QStringList names;
    for (QWidget* w = window.nextInFocusChain(); w != &window; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            names << nameOf(w);
    }
    return names.join(' ').toStdString();
}

// The window's controls from the lowest to the topmost.
std::string stacking(const QWidget& window) {
    QStringList names;
    for (const QObject* child : window.children()) {
        if (child->isWidgetType())
            names << nameOf(static_cast<const QWidget*>(child));
    }
    return names.join(' ').toStdString();
}

std::string designedTabOrder() {
    QStringList names = {"Text5",     "Text6",     "Text3",     "Text4",     "Combo1",
                         "Combo1/entry", "Command18", "Command14", "Combo2",    "Slider1",
                         "Picture2",
                         "Command3",  "Command4",  "Command12", "Command13", "Command5",
                         "Command6"};
    for (int i = 0; i < 51; ++i)
        names << QStringLiteral("Command2(%1)").arg(i);
    names << "Command17" << "Command1" << "Command7" << "Command10" << "Command11";
    for (int i = 0; i < 20; ++i)
        names << QStringLiteral("Check3(%1)").arg(i);
    names << "Text1" << "Text2" << "Command8" << "Command9" << "Command15" << "Check2" << "Text7"
          << "Command16" << "Check1";
    return names.join(' ').toStdString();
}

TEST_F(InventoryTest, EveryControlInItsPlaceWithItsText) {
    for (const Expected& e : kControls) {
        auto* w = form->findChild<QWidget*>(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_EQ(w->parentWidget()->objectName(), e.container) << e.name;
        QRect expected(e.left, e.top, e.width, e.height);
        if (std::string(e.container) == "Picture2")
            expected.translate(ScoreCanvas::kBorder, ScoreCanvas::kBorder);
        EXPECT_EQ(w->geometry(), expected) << e.name;
        if (e.text != nullptr) {
            EXPECT_EQ(textOf(w), QString::fromUtf8(e.text)) << e.name;
        }
    }
}

TEST_F(InventoryTest, ArraysHaveTheirElementsAndPlaces) {
    for (int i = 0; i < 51; ++i) {
        auto* b = form->findChild<QPushButton*>(QStringLiteral("Command2(%1)").arg(i));
        ASSERT_EQ(b, form->Command2[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(b->y(), i <= 30 ? 196 : 236) << i;
        EXPECT_EQ(b->text().isEmpty(), i != 34)
            << i;  // the selection tool has a caption, no picture
    }
    EXPECT_EQ(form->Command2[0]->geometry(), QRect(-2, 196, 31, 41));
    EXPECT_EQ(form->Command2[30]->geometry(), QRect(860, 196, 31, 41));
    EXPECT_EQ(form->Command2[33]->geometry(), QRect(352, 236, 31, 25));
    EXPECT_EQ(form->Command2[34]->geometry(), QRect(400, 236, 47, 25));
    EXPECT_EQ(form->Command2[44]->geometry(), QRect(144, 236, 19, 25));
    EXPECT_EQ(form->Command2[50]->geometry(), QRect(260, 236, 23, 25));
    for (int i = 0; i < 20; ++i) {
        auto* box = form->findChild<QCheckBox*>(QStringLiteral("Check3(%1)").arg(i));
        ASSERT_NE(box, nullptr) << i;
        EXPECT_EQ(box->geometry(), QRect(728 + 16 * (i % 10), i < 10 ? 260 : 272, 13, 13)) << i;
        const Qt::CheckState want = i < 3    ? Qt::Checked
                                    : i < 16 ? Qt::Unchecked
                                             : Qt::PartiallyChecked;
        EXPECT_EQ(box->checkState(), want) << i;
        EXPECT_EQ(box->isEnabled(), i < 16) << i;
    }
}

TEST_F(InventoryTest, PianoKeysAndGuideLines) {
    EXPECT_EQ(form->Image1(0).left, 0);
    EXPECT_EQ(form->Image1(0).picture, kWhiteKeyPicture);
    EXPECT_EQ(form->Image1(1).left, 16);  // 240 twips
    EXPECT_EQ(form->Image1(1).picture, kBlackKeyPicture);
    EXPECT_EQ(form->Image1(2).left, 26);
    EXPECT_EQ(form->Image1(51).left, 772);
    EXPECT_EQ(form->Image1(57).left, 26 * 33);  // the 34th white key
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(form->Picture1->lines[i].visible);
    EXPECT_EQ(form->Picture1->lines[0].y1, 96);
    EXPECT_EQ(form->Picture1->lines[5].y1, 8);
}

TEST_F(InventoryTest, StartUpState) {
    EXPECT_EQ(form->windowTitle(), QStringLiteral("綴 Tsuzuri"));
    EXPECT_TRUE(form->Command18->isEnabled());
    EXPECT_TRUE(form->Command14->isEnabled());
    EXPECT_EQ(form->Combo1->currentIndex(), 0);
    EXPECT_EQ(form->Combo1->count(), 4);
    EXPECT_EQ(form->Combo1->itemText(1), QStringLiteral("マンダリン\t"));
    QStringList meters;
    for (int i = 0; i < form->Combo2->count(); ++i)
        meters << form->Combo2->itemText(i);
    EXPECT_EQ(meters.join(' '), QStringLiteral("4/4 3/4 2/4 2/2 6/8 3/8 12/8 自由"));
    EXPECT_EQ(form->Combo2->currentIndex(), 0);  // a new piece is in 4/4
    EXPECT_EQ(state().piece.meter, kCommonTime);
    EXPECT_TRUE(form->Check1->isChecked());
    EXPECT_FALSE(form->Check2->isChecked());
    EXPECT_EQ(form->UpDown1->value(), 4);
    EXPECT_EQ(form->UpDown1->maximum(), 8);
    EXPECT_EQ(form->UpDown2->maximum(), 21);
    EXPECT_EQ(form->UpDown3->value(), 3);
    EXPECT_EQ(form->UpDown3->maximum(), 20);
    EXPECT_EQ(form->UpDown4->value(), 8);
    EXPECT_EQ(form->UpDown4->maximum(), 20);
    for (int i = 0; i < kImage4Count; ++i)
        EXPECT_EQ(form->Image4(i).top, kHiddenNoteTop) << i;
    EXPECT_EQ(form->Shape1().top, 500);
    for (int i = 0; i < 51; ++i) {
        EXPECT_EQ(test::shownBackColor(form->Command2[static_cast<std::size_t>(i)]),
                  i == 8 ? kWhite : kButtonFace)
            << i;
    }
    EXPECT_EQ(state().view.curLength, 8);
    EXPECT_EQ(state().view.paletteIndex, 8);
    EXPECT_EQ(state().piece.score[0].trackProgram, 105);
    EXPECT_EQ(state().tables.rowNames[21], "O4C");
    EXPECT_EQ(state().tables.noteNames[61], "O5C#");
}

TEST_F(InventoryTest, FontsOfTheCaptions) {
    EXPECT_EQ(QFontInfo(form->Label8->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(form->Command15->font()).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(form->Command15->font().pixelSize(), 10);  // "↓optimize" whole in its button
    EXPECT_EQ(form->Label8->font().pixelSize(), 12);
}

TEST_F(InventoryTest, StackingOfOverlappingControls) {
    // Later siblings lie above earlier ones.
    const QObjectList& children = form->children();
    auto order = [&](QWidget* w) { return children.indexOf(w); };
    EXPECT_GT(order(form->Picture2), order(form->Slider1));
    EXPECT_GT(order(form->Command5), order(form->Picture2));
    EXPECT_GT(order(form->Command2[0]), order(form->Slider1));
    EXPECT_GT(order(form->Command8), order(form->Text1));
    EXPECT_GT(order(form->Command15), order(form->Text1));
    EXPECT_GT(order(form->Text1), order(form->Label6));  // the read-outs lie under the text box
    // A canvas button is above the glyphs under it.
    EXPECT_EQ(form->Picture2->childAt(840, 140), form->Command13);
}

TEST_F(InventoryTest, ATabVisitsTheControlsInTheOrderTheyWereDesigned) {
    EXPECT_EQ(tabOrder(*form), designedTabOrder());
    EXPECT_EQ(form->focusWidget(), form->Text5);  // the first box takes the focus with the window
}

// At start-up the window makes its text boxes once its map request has gone
// to the screen; shown, it is the same window, and its boxes work.
TEST_F(InventoryTest, AWindowThatMakesItsTextBoxesOnceShownIsTheSameWindow) {
    test::TempDir otherDir{"tsuzuri late boxes"};
    Form1 late(sequencer, otherDir.path(), nullptr, Form1::TextBoxes::AfterShow);
    EXPECT_EQ(late.Text5, nullptr);
    EXPECT_EQ(late.Text1, nullptr);
    late.show();
    QApplication::processEvents();
    EXPECT_EQ(tabOrder(late), designedTabOrder());
    EXPECT_EQ(stacking(late), stacking(*form));
    for (const Expected& e : kControls) {
        const auto* w = late.findChild<QWidget*>(e.name);
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_TRUE(w->isVisible()) << e.name;
        EXPECT_EQ(w->geometry(), form->findChild<QWidget*>(e.name)->geometry()) << e.name;
        EXPECT_EQ(textOf(w), textOf(form->findChild<QWidget*>(e.name))) << e.name;
    }
    EXPECT_EQ(late.Combo1->currentText(), form->Combo1->currentText());
    EXPECT_TRUE(late.Combo1->isEditable());

    EXPECT_FALSE(late.windowTitle().endsWith(" *"));
    late.Text1->insertPlainText("cde");
    EXPECT_TRUE(late.windowTitle().endsWith(" *"));
    late.Text3->setText("6");
    EXPECT_EQ(late.UpDown1->value(), 6);
    late.state().piece.score[0].trackProgram = 0;  // typing in the instrument box sets the entry's
    emit late.Combo1->lineEdit()->textEdited(late.Combo1->currentText());
    EXPECT_EQ(late.state().piece.score[0].trackProgram, form->state().piece.score[0].trackProgram);
}

}  // namespace
}  // namespace tsuzuri
