#include "midi/midi_file.h"

#include <system_error>

#include "io/safe_file.h"

namespace tsuzuri {

std::vector<std::uint8_t> fileHeader(int chunkCount) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<std::uint8_t>(chunkCount),
            0,   0x20};
}

std::vector<std::uint8_t> allTracksFile(const EditorState& s, const TrackSelection& ticked) {
    auto compiled = [&](int t) { return ticked[t] && s.trackBuffer[t][0] == 'M'; };
    int count = 0;
    for (int t = 0; t < kWindowTracks; ++t)
        count += compiled(t) ? 1 : 0;
    std::vector<std::uint8_t> out = fileHeader(count);
    for (int t = 0; t < kWindowTracks; ++t) {
        if (!compiled(t))
            continue;
        const std::uint8_t* chunk = s.trackBuffer[t].data();
        out.insert(out.end(), chunk, chunk + s.trackChunkSize[t]);
    }
    return out;
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
