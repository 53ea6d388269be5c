#include "score/deletion.h"

#include "score/score_ops.h"
#include "score/selection.h"

namespace tsuzuri {

bool deleteSelected(EditorState& s) {
    const std::optional<NoteRef> note = selectedNote(s);
    if (!note)
        return false;
    removeSlot(currentMeasure(s, note->measure), note->slot);
    return true;
}

}  // namespace tsuzuri
