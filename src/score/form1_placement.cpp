// Form1's glyph clicks: placing a note with the cursor glyph, selecting a
// note glyph, picking up a note's length with the right button.
#include <QLabel>

#include "score/glyph_catalogue.h"
#include "score/placement.h"
#include "score/pointer.h"
#include "score/readout.h"
#include "score/selection.h"
#include "state/tables.h"
#include "ui/form1.h"
#include "view/event_codes.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

void placeFromCursor(Form1& form, const Pointer& place) {
    EditorState& s = form.state();
    const Placement placement = placeNote(s, place);
    if (!placement.placed) {
        form.showNotice(QString::fromStdString(placement.refusal));
        return;
    }
    form.appendToText1(placement.text);
    if (placement.preview)
        form.noteon(placement.previewNote);
    form.dispn(s.view.firstMeasure);
    if (placement.trackGrew)
        form.showTrackLength();
}

// The name of a placement in the history.
QString placementText(int length) {
    if (isNoteIndex(length))
        return QStringLiteral("音符の配置");
    return isRestIndex(length) ? QStringLiteral("休符の配置") : QStringLiteral("記号の配置");
}

}  // namespace

void Form1::Image4_MouseDown(int index, int button, int shift, double x, double y) {
    EditorState& s = state();
    Picture2->setFocus();
    dropSelection(s, Picture2->image4);
    if (button == kRightButton) {
        pickUpLength(s, Picture2->image4, index);
        Picture2->showArrowPointer(s.view.curLength == kSelectionToolIndex);
    } else if (index != 0) {
        Label6->setText(QString::fromStdString(clickReadout(s)));
        selectGlyph(s, Picture2->image4, index);
    } else {
        // The cursor glyph and the read-outs follow the pointer to the click,
        // and the note goes where the glyph then shows it.
        const CanvasPoint at = canvasPoint(Image4(0), x, y);
        Picture2_MouseMove(button, shift, at.x, at.y);
        Label6->setText(QString::fromStdString(clickReadout(s)));
        const Pointer place = pointerAt(s, at.x, at.y);
        editScore(placementText(s.view.curLength), [&] { placeFromCursor(*this, place); });
    }
    Picture2->update();
}

}  // namespace tsuzuri
