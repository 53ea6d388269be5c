#include "midi/midi_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tsuzuri {

std::vector<std::uint8_t> fileHeader(int chunkCount) {
    return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, static_cast<std::uint8_t>(chunkCount),
            0,   0x20};
}

std::vector<std::uint8_t> allTracksFile(const EditorState& s, const TrackSelection& ticked) {
    auto compiled = [&](int t) {
        return ticked[static_cast<std::size_t>(t)] && s.trackBuffer[t][0] == 'M';
    };
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

std::string writeWholeFile(const std::filesystem::path& path,
                           const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return "cannot create " + temporary.string() + ": " + std::strerror(errno);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return "cannot write " + temporary.string();
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return "cannot replace " + path.string() + ": " + error.message();
    }
    return {};
}

namespace {

bool canCreateFilesIn(const std::filesystem::path& dir) {
    const std::filesystem::path probe = dir / ".tsuzuri-write-probe";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
    }
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return true;
}

}  // namespace

std::filesystem::path chooseDataDirectory(const std::filesystem::path& programDir,
                                          const std::filesystem::path& fallbackDir) {
    if (std::filesystem::exists(programDir / "c.mid") && canCreateFilesIn(programDir))
        return programDir;
    std::error_code ignored;
    std::filesystem::create_directories(fallbackDir, ignored);
    return fallbackDir;
}

}  // namespace tsuzuri
