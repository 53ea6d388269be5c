#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <optional>
#include <random>
#include <sstream>
#include <vector>

#include "score/canvas_driver.h"
#include "score/canvas_geometry.h"
#include "ui/updown.h"
#include "view/keyboard_panel.h"

namespace tsuzuri::test {

// Random mouse and key events through the real widgets of the whole window:
// pointer moves, clicks on glyphs, drags, canvas keys (now and then held),
// the cross, the palette, the key-signature, scroll, track, meter and
// setting controls, and the piano with and without keyboard entry.
class RandomEvents : public CanvasTest {
public:
    static constexpr int kClientWidth = 865;
    static constexpr int kClientHeight = 153;

protected:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
    bool chance(int percent) { return uniform(1, 100) <= percent; }

    // A point of the canvas's client area inside one of the visible glyphs.
    std::optional<QPoint> pointOnAGlyph() {
        std::vector<int> visible;
        for (int i = 0; i < kImage4Count; ++i) {
            const GlyphItem& g = form->Image4(i);
            const PictureSize size = g.size();
            if (size.width > 0 && g.left + size.width > 0 && g.left < kClientWidth &&
                g.top + size.height > 0 && g.top < kClientHeight)
                visible.push_back(i);
        }
        if (visible.empty())
            return std::nullopt;
        const GlyphItem& g = form->Image4(visible[uniform(0, int(visible.size()) - 1)]);
        const PictureSize size = g.size();
        const int x =
            std::clamp(static_cast<int>(g.left) + uniform(0, size.width - 1), 0, kClientWidth - 1);
        const int y =
            std::clamp(static_cast<int>(g.top) + uniform(0, size.height - 1), 0, kClientHeight - 1);
        return QPoint(x, y);
    }

    // A click where a glyph is: on the cursor glyph where the pointer moves
    // (placing a note), on a note glyph, or now and then anywhere.
    void clickOnGlyph(std::ostringstream& what) {
        std::optional<QPoint> p;
        bool moveFirst = chance(70);
        if (chance(50)) {
            p = QPoint(uniform(0, kClientWidth - 1), uniform(0, kClientHeight - 1));
            moveFirst = true;
        } else {
            p = pointOnAGlyph();
        }
        if (!p || chance(10))
            p = QPoint(uniform(0, kClientWidth - 1), uniform(0, kClientHeight - 1));
        const Qt::MouseButton button = chance(60)   ? Qt::LeftButton
                                       : chance(50) ? Qt::RightButton
                                                    : Qt::MiddleButton;
        if (chance(10))
            form->Text1->setFocus();
        if (moveFirst)
            QTest::mouseMove(canvas(), at(p->x(), p->y()));
        const bool onGlyph = canvas()->image4At(p->x(), p->y()) >= 0;
        QTest::mouseClick(canvas(), button, {}, at(p->x(), p->y()));
        what << "click " << button << " at " << p->x() << "," << p->y();
        if (onGlyph && form->focusWidget() != canvas())
            what << " FOCUS LOST";
    }

    void drag(std::ostringstream& what) {
        const QPoint from(uniform(0, kClientWidth - 1), uniform(0, kClientHeight - 1));
        QTest::mousePress(canvas(), Qt::LeftButton, {}, at(from.x(), from.y()));
        QPoint to = from;
        for (int n = uniform(1, 3); n > 0; --n) {
            to = QPoint(uniform(-400, 1300), uniform(-400, 500));
            QTest::mouseMove(canvas(), at(to.x(), to.y()));
        }
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, at(to.x(), to.y()));
        what << "drag to " << to.x() << "," << to.y();
    }

    void pressKey(std::ostringstream& what) {
        static const Qt::Key keys[] = {Qt::Key_Escape, Qt::Key_F5,   Qt::Key_F6,    Qt::Key_Left,
                                       Qt::Key_Right,  Qt::Key_Up,   Qt::Key_Down,  Qt::Key_Delete,
                                       Qt::Key_A,      Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                       Qt::Key_Down,   Qt::Key_Left, Qt::Key_Right};
        const Qt::Key k = keys[uniform(0, std::size(keys) - 1)];
        Qt::KeyboardModifiers modifiers;
        if (chance(35))
            modifiers |= Qt::ShiftModifier;
        if (chance(10))
            modifiers |= Qt::ControlModifier;
        if (chance(5))
            modifiers |= Qt::AltModifier;
        key(k, modifiers);
        what << "key " << k << " modifiers " << modifiers.toInt();
        // Now and then the key is held: it repeats over the next events.
        if (chance(5)) {
            repeatKey = k;
            repeatModifiers = modifiers;
            repeatsLeft = uniform(10, 120);
        }
    }

    void repeatHeldKey(std::ostringstream& what) {
        key(repeatKey, repeatModifiers);
        --repeatsLeft;
        what << "held key " << repeatKey << " modifiers " << repeatModifiers.toInt();
    }

    void randomEvent(std::ostringstream& what) {
        if (repeatsLeft > 0) {
            repeatHeldKey(what);
            return;
        }
        const int roll = uniform(1, 100);
        if (roll <= 30) {
            const double x = uniform(0, 8640) / 10.0, y = uniform(0, 1520) / 10.0;
            moveTo(x, y);
            what << "move " << x << "," << y;
        } else if (roll <= 34) {
            const QPoint p = background[uniform(0, int(background.size()) - 1)];
            QTest::mouseMove(form.get(), p);
            what << "window move";
        } else if (roll <= 62) {
            clickOnGlyph(what);
        } else if (roll <= 65) {
            drag(what);
        } else if (roll <= 91) {
            pressKey(what);
        } else if (roll <= 93) {
            QTest::mouseClick(form->Command17, Qt::LeftButton);
            what << "cross";
            if (form->focusWidget() != canvas())
                what << " FOCUS LOST";
        } else if (roll <= 96) {
            const int i = uniform(0, kPaletteCount - 1);
            QTest::mouseClick(form->Command2[static_cast<std::size_t>(i)], Qt::LeftButton);
            what << "palette " << i;
        } else if (roll <= 98) {
            controlEvent(what);
        } else {
            pianoEvent(what);
        }
    }

    // One press of a button that acts on the press.
    void press(QPushButton* button) {
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
    }

    void controlEvent(std::ostringstream& what) {
        const int which = uniform(0, 13);
        what << "control " << which;
        switch (which) {
            case 0:
                press(form->Command5);
                break;
            case 1:
                press(form->Command6);
                break;
            case 2:
                press(form->Command12);
                break;
            // Scrolling on is likelier, so the view also reaches far measures.
            case 3:
            case 4:
                press(form->Command13);
                break;
            case 5:
                QTest::mouseClick(form->Command3, Qt::LeftButton);
                break;
            case 6:
                QTest::mouseClick(form->Command4, Qt::LeftButton);
                break;
            case 7:
                QTest::mouseClick(
                    chance(50) ? form->UpDown1->upButton() : form->UpDown1->downButton(),
                    Qt::LeftButton);
                break;
            case 8:
                form->UpDown3->setValue(uniform(0, 20));
                break;
            case 9:
                form->UpDown4->setValue(uniform(0, 20));
                break;
            case 10:
                form->Combo1->setCurrentIndex(uniform(0, 3));
                break;
            case 11:
                typeTempo(what);
                break;
            case 12:
                form->Combo2->setCurrentIndex(uniform(0, kMeterCount - 1));
                break;
            default:
                QTest::mouseClick(form->Command15, Qt::LeftButton);
                break;
        }
    }

    // A text typed into the tempo box and confirmed with Return: a tempo, or
    // now and then one that is refused.
    void typeTempo(std::ostringstream& what) {
        static const char* const refused[] = {"", "31", "256", "abc", "1e2", "-90"};
        const std::string text = chance(70) ? std::to_string(uniform(32, 255))
                                            : refused[uniform(0, std::size(refused) - 1)];
        form->Text4->setText(QString::fromStdString(text));
        QTest::keyClick(form->Text4, Qt::Key_Return);
        what << "tempo \"" << text << "\"";
    }

    // A key of the on-screen piano, now and then switching keyboard entry.
    void pianoEvent(std::ostringstream& what) {
        if (chance(10)) {
            QTest::mouseClick(form->Command16, Qt::LeftButton);
            what << "keyboard entry " << state().view.keyEntryMode;
            return;
        }
        const QPoint p(uniform(0, 880), uniform(0, 106));
        const QPoint local = p + QPoint(KeyboardPanel::kBorder, KeyboardPanel::kBorder);
        const Qt::MouseButton button = chance(80) ? Qt::LeftButton : Qt::RightButton;
        const int before = notesOfTrack(state().view.curTrack);
        QTest::mousePress(form->Picture1, button, {}, local);
        QTest::mouseRelease(form->Picture1, button, {}, local);
        enteredByKeys += notesOfTrack(state().view.curTrack) > before ? 1 : 0;
        what << "piano at " << p.x() << "," << p.y();
    }

    int notesOfTrack(int t) {
        int total = 0;
        for (int m = 0; m < kMeasureCount; ++m)
            total += state().piece.score[t].measures[m].noteCount;
        return total;
    }

    void SetUp() override {
        CanvasTest::SetUp();
        form->resize(889, 530);  // the keyboard panel in view
        QApplication::processEvents();
        for (int y = 0; y < form->height(); y += 7) {
            for (int x = 0; x < form->width(); x += 7) {
                if (form->childAt(x, y) == nullptr)
                    background.emplace_back(x, y);
            }
        }
    }

    std::mt19937 random{20240611};
    std::vector<QPoint> background;
    Qt::Key repeatKey = Qt::Key_Up;
    Qt::KeyboardModifiers repeatModifiers;
    int repeatsLeft = 0;
    int enteredByKeys = 0;
};

}  // namespace tsuzuri::test
