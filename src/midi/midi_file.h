#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "state/editor_state.h"

namespace tsuzuri {

inline constexpr const char* kPlaybackFileName = "trk.mid";

// The 14-byte "MThd" chunk: format 1, `chunkCount` tracks, 32 ticks per quarter.
std::vector<std::uint8_t> fileHeader(int chunkCount);

// The bytes of one "MTrk" chunk, its header included.
using ChunkBytes = std::span<const std::uint8_t>;

// A playback or export file: the header for the chunks, then the chunks in
// order. At a tempo other than 120 the first chunk opens with a Set Tempo
// event (delta 0, FF 51 03, the microseconds of a quarter note in three
// bytes) and its length field grows by those 7 bytes; the other chunks, and
// every chunk at 120, are written as given.
std::vector<std::uint8_t> midiFile(const std::vector<ChunkBytes>& chunks, int tempo);

// Which of the window's tracks 0..19 are ticked for all-tracks playback.
using TrackSelection = Table<bool, kWindowTracks>;

// The all-tracks file at the piece's tempo: every ticked track whose
// TrackBuffer holds a compiled chunk, in track order, each as it was last
// compiled.
std::vector<std::uint8_t> allTracksFile(const EditorState& s, const TrackSelection& ticked);

// The directory the program writes its files into: `programDir` when the
// preview template c.mid stands there (a build or a copied program folder)
// and files can be created there; otherwise `fallbackDir`, created when
// missing. An installed program thus never writes beside its executable.
std::filesystem::path chooseDataDirectory(const std::filesystem::path& programDir,
                                          const std::filesystem::path& fallbackDir);

}  // namespace tsuzuri
