// Form1's renderer: the one procedure that redraws the score view.
#include <QLabel>

#include "score/readout.h"
#include "ui/form1.h"
#include "view/render.h"
#include "view/score_canvas.h"

namespace tsuzuri {

// The measure numbers and the beats read-out follow the notes: an edit can
// make the measure under the pointer short, long or full.
void Form1::dispn(std::int16_t first) {
    tsuzuri::dispn(state(), Picture2->image4, first);
    Picture2->measureNumbers = measureNumbers(state(), first);
    Label15->setText(QString::fromStdString(beatsReadout(state())));
    Picture2->update();
}

}  // namespace tsuzuri
