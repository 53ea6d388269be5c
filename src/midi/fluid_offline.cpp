// The engine's offline rendering: a Standard MIDI File played on a
// synthesizer of its own as fast as the processor allows, through the same
// settings, SoundFont, gain and limiter as the live engine.
#include <malloc.h>

#include <algorithm>
#include <cmath>

#include "midi/fluid_setup.h"
#include "midi/limiter.h"
#include "midi/program_scan.h"

namespace tsuzuri {

namespace {

constexpr int kBlockFrames = 1024;
// After the music's last tick the release of its last notes is rendered
// until a block is silent in 16-bit samples, for at least a quarter of a
// second (the player reaches a tick up to half a tick early) and at most two.
constexpr double kMinTailSeconds = 0.25;
constexpr int kTailSeconds = 2;
constexpr float kSilence = 0.5f / 32768;

// The synthesizer with its settings and player, deleted in reverse order.
struct OfflineSynth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;

    OfflineSynth() = default;
    OfflineSynth(const OfflineSynth&) = delete;
    OfflineSynth& operator=(const OfflineSynth&) = delete;
    ~OfflineSynth() {
        if (player != nullptr)
            delete_fluid_player(player);
        if (synth != nullptr)
            delete_fluid_synth(synth);
        if (settings != nullptr)
            delete_fluid_settings(settings);
    }
};

// Makes the synthesizer, loads the SoundFont and starts `midi` on a player.
RenderOutcome prepare(OfflineSynth& s, const FluidSequencerOptions& options,
                      const std::vector<std::uint8_t>& midi) {
    s.settings = newEngineSettings(options);
    if (s.settings == nullptr)
        return RenderOutcome::Failed;
    s.synth = new_fluid_synth(s.settings);
    if (s.synth == nullptr)
        return RenderOutcome::Failed;
    makeChannelsMelodic(s.synth);
    if (fluid_synth_sfload(s.synth, options.soundFont.string().c_str(), 0) < 0)
        return RenderOutcome::NoSoundFont;
    selectNoInstruments(s.synth);
    s.player = new_fluid_player(s.synth);
    if (s.player == nullptr ||
        fluid_player_add_mem(s.player, midi.data(), midi.size()) != FLUID_OK ||
        fluid_player_play(s.player) != FLUID_OK)
        return RenderOutcome::Failed;
    return RenderOutcome::Done;
}

// How far the player is through the file: 1 at its last tick. The player
// itself reports the end only after a grace period for the last releases.
double progressOf(fluid_player_t* player) {
    if (fluid_player_get_status(player) != FLUID_PLAYER_PLAYING)
        return 1;
    const int total = fluid_player_get_total_ticks(player);
    if (total <= 0)
        return 0;
    return std::clamp(static_cast<double>(fluid_player_get_current_tick(player)) / total, 0.0, 1.0);
}

RenderOutcome render(const FluidSequencerOptions& options, const std::vector<std::uint8_t>& midi,
                     const BlockSink& sink) {
    OfflineSynth s;
    const RenderOutcome prepared = prepare(s, options, midi);
    // A file without tracks (a piece without notes) is silence of no length;
    // the player would render two seconds of it.
    constexpr std::size_t kTrackCountOffset = 10;
    if (prepared != RenderOutcome::Done ||
        (midi[kTrackCountOffset] == 0 && midi[kTrackCountOffset + 1] == 0))
        return prepared;
    Limiter limiter(options.sampleRate);
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    // One block through the synthesizer and the limiter; its peak.
    auto renderBlock = [&] {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        float* out[2] = {left.data(), right.data()};
        fluid_synth_process(s.synth, kBlockFrames, 0, nullptr, 2, out);
        limiter.process(left.data(), right.data(), kBlockFrames);
        float peak = 0;
        for (int i = 0; i < kBlockFrames; ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        return peak;
    };
    for (double progress = 0; progress < 1;) {
        renderBlock();
        progress = progressOf(s.player);
        if (!sink({left.data(), right.data(), kBlockFrames, progress}))
            return RenderOutcome::Stopped;
    }
    const int minTailBlocks = static_cast<int>(kMinTailSeconds * options.sampleRate) / kBlockFrames;
    const int tailBlocks = kTailSeconds * options.sampleRate / kBlockFrames;
    for (int i = 0; i < tailBlocks && (renderBlock() >= kSilence || i < minTailBlocks); ++i) {
        if (!sink({left.data(), right.data(), kBlockFrames, 1.0}))
            return RenderOutcome::Stopped;
    }
    return RenderOutcome::Done;
}

}  // namespace

RenderOutcome renderOffline(const FluidSequencerOptions& options,
                            const std::vector<std::uint8_t>& midi, const BlockSink& sink) {
    // The player would take anything and play silence: only a file that
    // starts as a Standard MIDI File is rendered.
    if (!scanPrograms(midi.data(), midi.size()).valid)
        return RenderOutcome::Failed;
    const RenderOutcome outcome = render(options, midi, sink);
    // The SoundFont's tables and samples go back to the system.
    malloc_trim(0);
    return outcome;
}

}  // namespace tsuzuri
