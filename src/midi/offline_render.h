#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tsuzuri {

// One block of rendered stereo samples, and how far through the music it is
// (0 at the start, 1 once the last event has sounded; the release of the last
// notes follows at 1).
struct AudioBlock {
    const float* left = nullptr;
    const float* right = nullptr;
    int frames = 0;
    double progress = 0;
};

// Takes each block as it is rendered; false stops the rendering (the user
// cancelled, or the block could not be kept).
using BlockSink = std::function<bool(const AudioBlock&)>;

enum class RenderOutcome {
    Done,         // the whole music and the release of its last notes
    Stopped,      // the sink asked to stop
    NoEngine,     // the sound module could not be opened
    NoSoundFont,  // the SoundFont is missing or cannot be read
    Failed,       // the synthesizer could not be made or the file not read
};

// Renders a Standard MIDI File as fast as it can, without an audio device,
// with the synthesizer, SoundFont, gain and limiter that play it.
class AudioRenderer {
public:
    static constexpr int kSampleRate = 44100;

    virtual ~AudioRenderer() = default;
    // Renders `midi` from its start to the end of its last note's release,
    // block by block into `sink`; may be called from any thread.
    virtual RenderOutcome renderFile(const std::vector<std::uint8_t>& midi,
                                     const BlockSink& sink) = 0;
};

// Why nothing could be rendered, in Japanese (UTF-8); empty for Done and Stopped.
std::string renderFailureText(RenderOutcome outcome);

}  // namespace tsuzuri
