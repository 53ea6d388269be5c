// Form1's renderer: the one procedure that redraws the score view.
#include "ui/form1.h"
#include "view/render.h"
#include "view/score_canvas.h"

namespace tsuzuri {

void Form1::dispn(std::int16_t first) {
    tsuzuri::dispn(state(), Picture2->image4, first);
    Picture2->update();
}

}  // namespace tsuzuri
