#include "midi/midi_file.h"

#include <system_error>

#include "io/safe_file.h"
#include "midi/track_compiler.h"
#include "music/tempo.h"

namespace tsuzuri {

std::vector<std::uint8_t> fileHeader(int chunkCount) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<std::uint8_t>(chunkCount),
            0,   0x20};
}

namespace {

constexpr std::size_t kChunkHeaderBytes = 8;  // "MTrk" and the length field

void appendTempoEvent(std::vector<std::uint8_t>& out, int tempo) {
    const std::uint32_t us = microsecondsPerQuarter(tempo);
    out.insert(out.end(), {0x00, 0xFF, 0x51, 0x03, static_cast<std::uint8_t>(us >> 16),
                           static_cast<std::uint8_t>(us >> 8), static_cast<std::uint8_t>(us)});
}

std::uint32_t lengthField(ChunkBytes chunk) {
    return (std::uint32_t{chunk[4]} << 24) | (std::uint32_t{chunk[5]} << 16) |
           (std::uint32_t{chunk[6]} << 8) | chunk[7];
}

}  // namespace

std::vector<std::uint8_t> midiFile(const std::vector<ChunkBytes>& chunks, int tempo) {
    std::vector<std::uint8_t> out = fileHeader(static_cast<int>(chunks.size()));
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const ChunkBytes chunk = chunks[i];
        if (i > 0 || tempo == kStandardTempo || !isTempo(tempo) ||
            chunk.size() < kChunkHeaderBytes) {
            out.insert(out.end(), chunk.begin(), chunk.end());
            continue;
        }
        const std::size_t at = out.size();
        out.insert(out.end(), chunk.begin(), chunk.begin() + kChunkHeaderBytes);
        putBigEndian32(out, at + 4, lengthField(chunk) + 7);
        appendTempoEvent(out, tempo);
        out.insert(out.end(), chunk.begin() + kChunkHeaderBytes, chunk.end());
    }
    return out;
}

std::vector<std::uint8_t> allTracksFile(const EditorState& s, const TrackSelection& ticked) {
    std::vector<ChunkBytes> chunks;
    for (int t = 0; t < kWindowTracks; ++t) {
        if (ticked[t] && s.trackBuffer[t][0] == 'M') {
            chunks.emplace_back(s.trackBuffer[t].data(),
                                static_cast<std::size_t>(s.trackChunkSize[t]));
        }
    }
    return midiFile(chunks, s.piece.tempo);
}

std::filesystem::path chooseDataDirectory(const std::filesystem::path& programDir,
                                          const std::filesystem::path& fallbackDir) {
    std::error_code ignored;
    if (std::filesystem::exists(programDir / "c.mid", ignored) && canCreateFilesIn(programDir))
        return programDir;
    std::filesystem::create_directories(fallbackDir, ignored);
    return fallbackDir;
}

}  // namespace tsuzuri
