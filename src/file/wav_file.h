#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "midi/offline_render.h"

namespace tsuzuri {

// Audio export: the piece rendered offline and kept as a WAV file of 16-bit
// stereo PCM at 44.1 kHz.

// The 44-byte header of such a file holding `frames` frames.
std::vector<std::uint8_t> wavHeader(std::uint32_t frames);

// Appends `frames` stereo frames as 16-bit little-endian samples, left first;
// the samples are rounded, and clipped at full scale.
void appendPcm16(std::vector<std::uint8_t>& out, const float* left, const float* right, int frames);

struct WavWritten {
    std::string error;  // Japanese, naming the file; empty when written or cancelled
    bool cancelled = false;
};

// Renders `midi` through `renderer` into a WAV file at `path`. The samples go
// to a unique temporary file beside it, which replaces `path` only when the
// whole piece is in it. `progress` hears how far the rendering is (0..1);
// `cancel`, set from another thread, stops it and nothing is written.
WavWritten writeWavFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& midi,
                        AudioRenderer& renderer, const std::function<void(double)>& progress,
                        const std::atomic<bool>& cancel);

}  // namespace tsuzuri
