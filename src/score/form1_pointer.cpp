// Form1's pointer tracking: the cursor glyph follows the pointer over the
// canvas and hides when the pointer leaves for the window background.
#include <QLabel>

#include "score/canvas_geometry.h"
#include "score/pointer.h"
#include "score/readout.h"
#include "ui/form1.h"
#include "view/event_codes.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::Form_MouseMove(int, int, double, double) {
    hideCursorGlyph();
}

void Form1::Picture2_MouseMove(int, int, double x, double y) {
    EditorState& s = state();
    trackPointer(s, x, y);
    Label10->setText(QString::fromStdString(measureReadout(s)));
    Label15->setText(QString::fromStdString(beatsReadout(s)));
    Label6->setText(QString::fromStdString(positionReadout(s)));
    if (y >= kCursorTrackLimit)
        return;
    disp(0, pointerPixel(x), pointerPixel(y));
    Label2->setText(QString::fromStdString(plainNumber(x)));
    Label3->setText(QString::number(s.pointer.glyphTop));
    Label4->setText(QString::fromStdString(landingReadout(s)));
}

void Form1::disp(int index, int x, int y) {
    tsuzuri::disp(state(), Image4(index), x, y);
    Picture2->update();
}

// Tracking goes on while the pointer is over a glyph.
void Form1::Image4_MouseMove(int index, int button, int shift, double x, double y) {
    const CanvasPoint at = canvasPoint(Image4(index), x, y);
    Picture2_MouseMove(button, shift, at.x, at.y);
}

}  // namespace tsuzuri
