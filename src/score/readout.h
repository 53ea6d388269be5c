#pragma once

#include <string>

#include "state/editor_state.h"

namespace tsuzuri {

// The read-outs of the pointer position, built from the tracked pointer state.

// Label10: the measure under the pointer, counted from 1 ("第 1小節").
std::string measureReadout(const EditorState& s);

// Over a measure completed with rests or holding more than a full bar: the
// beats it holds against the meter's, in the meter's beat unit ("2/4拍",
// "2.5/4拍", "7/6拍" under 6/8); empty over any other measure.
std::string beatsReadout(const EditorState& s);

// Label6 while the pointer moves: x, y, y step, column, then the pitch name of
// the row under the pointer and the palette length text (" 250 80 20 0 O4D4").
std::string positionReadout(const EditorState& s);

// Label6 at a click: the position read-out followed by the row number.
std::string clickReadout(const EditorState& s);

// Label4: where a click on the cursor glyph would land, measure and slot
// (" 5: 2"); only the measure when there is no such measure.
std::string landingReadout(const EditorState& s);

// The pitch name of a staff row; rows without a pitch have none.
std::string rowName(const EditorState& s, int row);

// A coordinate as plain decimal text: no leading space, a fraction only when
// the number has one (Label2, Label3).
std::string plainNumber(double v);

}  // namespace tsuzuri
