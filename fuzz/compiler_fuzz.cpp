// The track compiler on scores made from arbitrary bytes, every palette mark
// and glyph code among them, under every meter: the chunk's length field
// equals the bytes that follow and its events parse as the track's own notes
// and program change.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_state.h"
#include "midi/track_compiler.h"
#include "score/score_ops.h"
#include "support/track_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tsuzuri::EditorState& s = tsuzuri::fuzzState();
    const int t = size > 0 ? data[0] % 21 : 0;
    // The first byte's high bits choose the meter: bars complete in every one.
    s.piece.meter = tsuzuri::kMeters[size > 0 ? (data[0] >> 5) : 0];
    // Three bytes a slot: measure step, row, glyph code.
    int m = 0;
    std::vector<int> used;
    for (std::size_t i = 1; i + 2 < size; i += 3) {
        m = (m + data[i] % 4) % tsuzuri::kMeasureCount;
        const int slot = s.piece.score[t].measures[m].noteCount;
        if (slot >= tsuzuri::kMaxNotesPerMeasure)
            continue;
        const int code = static_cast<int>(data[i + 2] % 129) - 64;
        tsuzuri::insertSlot(
            s.piece.score[t].measures[m], slot,
            {0, 0, static_cast<std::int16_t>(code), static_cast<std::int16_t>(data[i + 1] % 96)});
        used.push_back(m);
    }
    s.piece.score[t].lastMeasure = static_cast<std::int16_t>(m);
    const tsuzuri::CompiledTrack compiled = tsuzuri::compileTrack(s.piece, s.tables, t);
    if (!tsuzuri::test::trackChunkFault(compiled.chunk, tsuzuri::trackChannel(t)).empty())
        std::abort();
    for (int measure : used)
        s.piece.score[t].measures[measure].noteCount = 0;
    return 0;
}
