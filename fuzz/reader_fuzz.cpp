// MML read into the staff from arbitrary bytes, under any octave setting, key
// signature and meter: no crash, no hang; a text refused says where; a
// staff made is stored as clicks store slots, and its own MML text comes back
// as the same staff.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_state.h"
#include "keysig/key_signature.h"
#include "midi/track_compiler.h"
#include "mml/track_text.h"
#include "score/canvas_geometry.h"
#include "score/layout.h"
#include "score/score_ops.h"

namespace {

using namespace tsuzuri;

bool storedAsPlaced(const TrackScore& track) {
    if (track.lastMeasure < 0 || track.lastMeasure >= kMeasureCount)
        return false;
    for (int m = 0; m < kMeasureCount; ++m) {
        const Measure& measure = track.measures[m];
        if (measure.noteCount > kMaxNotesPerMeasure || (m > track.lastMeasure && measure.noteCount))
            return false;
        for (int s = 0; s < measure.noteCount; ++s) {
            const int row = measure.noteRow[s];
            if (row < kLowestReachedRow || row > kHighestReachedRow)
                return false;
            const PlacedGlyph glyph = placedGlyph(std::abs(measure.noteAttr[s][kAttrCode]), row);
            if (glyph.code != measure.noteAttr[s][kAttrCode] ||
                glyph.top != measure.noteAttr[s][kAttrTop])
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    EditorState& s = fuzzState();
    const int octave = data[0] % 9;
    nt_init(s, octave);
    applyKeySignatureRows(s, data[1] % 15 - 7, octave);
    // The piece's meter gives both the bars the text is laid into and the
    // bars the compiler keeps in time, as in the window.
    s.piece.meter = meterAt(data[2] % kMeterCount);
    const int bar = readingBarTicks(s.piece);
    const std::string_view text(reinterpret_cast<const char*>(data + 3), size - 3);

    const StaffRows rows = staffRowsOf(s.tables);
    const TrackTextRead read = readTrackText(text, rows, octave, bar);
    if (read.error) {
        if (read.track || read.error->place.line < 1 || read.error->place.column < 1 ||
            read.error->what.empty())
            std::abort();
        return 0;
    }
    if (!storedAsPlaced(*read.track))
        std::abort();
    s.piece.score[0] = *read.track;
    const CompiledTrack first = compileTrack(s.piece, s.tables, 0);
    const TrackTextRead again = readTrackText(first.mml, rows, octave, bar);
    if (again.error)
        std::abort();
    s.piece.score[0] = *again.track;
    const CompiledTrack second = compileTrack(s.piece, s.tables, 0);
    if (second.chunk != first.chunk || second.mml != first.mml)
        std::abort();
    s.piece.score[0] = TrackScore{};
    return 0;
}
