#include "midi/track_compiler.h"

#include <algorithm>
#include <cstdlib>

#include "state/tables.h"

namespace tsuzuri {

namespace {

constexpr std::uint8_t kVelocity = 0x40;
constexpr std::uint32_t kTailTicks = 32;

void appendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t n) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(n >> shift));
}

}  // namespace

void appendVariableLength(std::vector<std::uint8_t>& out, std::uint32_t n) {
    std::uint8_t bytes[5];
    int count = 0;
    bytes[count++] = static_cast<std::uint8_t>(n & 0x7F);
    while ((n >>= 7) != 0)
        bytes[count++] = static_cast<std::uint8_t>(0x80 | (n & 0x7F));
    while (count > 0)
        out.push_back(bytes[--count]);
}

CompiledTrack compileTrack(const Piece& piece, const NoteTables& tables, int t) {
    CompiledTrack result;
    std::vector<std::uint8_t>& out = result.chunk;
    const auto channel = static_cast<std::uint8_t>(trackChannel(t));

    out = {'M', 'T', 'r', 'k', 0, 0, 0, 0};
    const TrackScore& track = piece.score[t];
    out.insert(out.end(), {0x00, static_cast<std::uint8_t>(0xC0 | channel), track.trackProgram});

    // Ticks of rests not yet written: they lengthen the delta of the next event.
    std::uint32_t pending = 0;
    for (int m = 0; m <= track.lastMeasure; ++m) {
        const Measure& measure = track.measures[m];
        for (int slot = 0; slot < measure.noteCount; ++slot) {
            const int row = measure.noteRow[slot];
            const int length = std::abs(measure.noteAttr[slot][kAttrCode]);
            const std::uint32_t ticks = tables.lengthTicks[length];
            if (!isNoteIndex(length)) {
                result.mml += tables.lengthNames[length];
                result.mml += ' ';
                pending += ticks;
                continue;
            }
            const std::uint8_t key = tables.rowMidi[row];
            result.mml += tables.rowNames[row];
            result.mml += tables.lengthNames[length];
            result.mml += ' ';
            appendVariableLength(out, pending);
            pending = 0;
            out.insert(out.end(), {static_cast<std::uint8_t>(0x90 | channel), key, kVelocity});
            appendVariableLength(out, ticks);
            out.insert(out.end(), {static_cast<std::uint8_t>(0x80 | channel), key, kVelocity});
        }
    }
    appendVariableLength(out, pending + kTailTicks);
    out.insert(out.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> length;
    appendBigEndian32(length, static_cast<std::uint32_t>(out.size() - 8));
    std::copy(length.begin(), length.end(), out.begin() + 4);
    return result;
}

void storeTrackBuffer(EditorState& s, int t, const std::vector<std::uint8_t>& chunk) {
    s.trackBuffer[t].assign(chunk.data(), chunk.size());
    s.trackChunkSize[t] = static_cast<std::int32_t>(chunk.size());
}

}  // namespace tsuzuri
