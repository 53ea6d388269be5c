#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "state/editor_state.h"

namespace tsuzuri {

inline constexpr const char* kPlaybackFileName = "trk.mid";

// The 14-byte "MThd" chunk: format 1, `chunkCount` tracks, 32 ticks per quarter.
std::vector<std::uint8_t> fileHeader(int chunkCount);

// Which of the window's tracks 0..19 are ticked for all-tracks playback.
using TrackSelection = Table<bool, kWindowTracks>;

// The all-tracks file: every ticked track whose TrackBuffer holds a compiled
// chunk, in track order, each as it was last compiled.
std::vector<std::uint8_t> allTracksFile(const EditorState& s, const TrackSelection& ticked);

// The directory the program writes its files into: `programDir` when the
// preview template c.mid stands there (a build or a copied program folder)
// and files can be created there; otherwise `fallbackDir`, created when
// missing. An installed program thus never writes beside its executable.
std::filesystem::path chooseDataDirectory(const std::filesystem::path& programDir,
                                          const std::filesystem::path& fallbackDir);

}  // namespace tsuzuri
