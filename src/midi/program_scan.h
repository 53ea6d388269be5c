#pragma once

#include <cstddef>
#include <cstdint>

#include "state/table.h"

namespace tsuzuri {

inline constexpr int kMidiChannels = 16;

// What a synthesizer must have selected before it plays a Standard MIDI File,
// so that no instrument has to be loaded while the music is rendered.
struct FilePrograms {
    bool valid = false;  // the file starts with a well-formed "MThd" chunk
    // Per channel: the program of its first program change, the General MIDI
    // default 0 when it sounds notes without one, or -1 when it is unused.
    Table<int, kMidiChannels> program;
};

// Reads the track chunks of a Standard MIDI File for the programs it uses.
// Damaged or truncated data ends the scan of its chunk; nothing is read
// outside `size` bytes.
FilePrograms scanPrograms(const std::uint8_t* data, std::size_t size);

}  // namespace tsuzuri
