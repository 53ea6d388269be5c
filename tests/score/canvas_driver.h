#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "support/form_fixture.h"
#include "score/glyph_catalogue.h"
#include "view/score_canvas.h"

namespace tsuzuri::test {

// Drives the score canvas of a shown window through its real widget, in the
// canvas's client pixels.
class CanvasTest : public FormTest {
protected:
    ScoreCanvas* canvas() { return form->Picture2; }

    static QPoint at(int x, int y) {
        return QPoint(x + ScoreCanvas::kBorder, y + ScoreCanvas::kBorder);
    }

    // A pointer move, with fractional positions as a real pointer reports them.
    void moveTo(double x, double y) {
        const QPointF local(x + ScoreCanvas::kBorder, y + ScoreCanvas::kBorder);
        QMouseEvent move(QEvent::MouseMove, local, canvas()->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas(), &move);
    }

    // Moves to (x, y) and clicks there: what a user does to place or select.
    // The move is sent directly: the window system drops a move to where the
    // pointer already is, and the pointer may be there from an earlier test.
    void clickAt(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        moveTo(x, y);
        QTest::mouseClick(canvas(), button, {}, at(x, y));
    }

    // Places a note of the current palette length with the pointer at (x, y).
    // The pointer sits in the lower part of the cursor glyph whatever its stem.
    void placeAt(int x, int y) { clickAt(x, y); }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(canvas(), k, modifiers);
    }

    // Chooses a palette entry with a click on its button.
    void choosePalette(int i) {
        QTest::mouseClick(form->Command2[static_cast<std::size_t>(i)], Qt::LeftButton);
    }

    // Shows the view from measure `first`, as repeated scrolling would.
    void scrollTo(int first) {
        state().view.firstMeasure = static_cast<std::int16_t>(first);
        form->dispn(state().view.firstMeasure);
    }

    std::int16_t& attr(int m, int slot, int a) {
        return state().piece.score[0].measures[m].noteAttr[slot][a];
    }
    std::int16_t& row(int m, int slot) { return state().piece.score[0].measures[m].noteRow[slot]; }
    std::int16_t count(int m) { return state().piece.score[0].measures[m].noteCount; }
};

}  // namespace tsuzuri::test
