// Keyboard note entry on arbitrary note texts: parsing never reads outside the
// text, and storing keeps the score within its bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_state.h"
#include "mml/entry_note.h"
#include "mml/key_entry.h"
#include "score/score_ops.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const int octave = data[0] % 9;
    const int perMeasure = data[1] % 21;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    const auto parsed = tsuzuri::parseEntryNote(text);
    if (parsed && (parsed->lengthIndex < -1 || parsed->lengthIndex > 13))
        std::abort();

    tsuzuri::EditorState& s = tsuzuri::fuzzState();
    const tsuzuri::EntryResult result = tsuzuri::enterNote(s, text, octave, perMeasure);
    if (result.outcome == tsuzuri::EntryOutcome::Stored) {
        const int count = s.piece.score[s.view.curTrack].measures[result.measure].noteCount;
        if (count > tsuzuri::kMaxNotesPerMeasure || result.row < 0 || result.row > 95)
            std::abort();
        if (s.piece.score[s.view.curTrack].lastMeasure > 200)
            std::abort();
        if (count == tsuzuri::kMaxNotesPerMeasure) {
            s.piece.score[s.view.curTrack].measures[result.measure].noteCount =
                0;  // keep room for later inputs
        }
    }
    if (s.view.entryMeasure >= 200)
        s.view.entryMeasure = 0;
    return 0;
}
