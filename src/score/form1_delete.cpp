// Form1's deletion of the selected note: the Delete key and the "×" button.
#include "score/deletion.h"
#include "ui/form1.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::del() {
    deleteSelected(state());
    dispn(state().view.firstMeasure);
}

// The button acts and hands the keys back to the canvas.
void Form1::Command17_Click() {
    if (state().view.selActive == 1)
        editScore(QStringLiteral("削除"), [this] { del(); });
    Picture2->setFocus();
}

}  // namespace tsuzuri
