#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "midi/sound_engine.h"

namespace tsuzuri {

struct FluidSequencerOptions {
    std::filesystem::path soundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    // Audio drivers tried in this order. With none the engine makes no sound
    // of its own and its owner pulls the samples with render().
    std::vector<std::string> drivers = {"pulseaudio", "alsa"};
    std::string alsaDevice = "default";
    int sampleRate = 44100;
    int periodSize = 128;  // frames the driver asks for at a time
    int periods = 3;       // periods in the device buffer
    // Whether the SoundFont starts loading when the engine is made; otherwise
    // it waits for startLoading(), so that it never competes with the window
    // being drawn for the first time.
    bool loadAtOnce = true;
    // After a failed load, the next play tries again, at most this often: an
    // audio device plugged in or a SoundFont installed later is found
    // without a restart.
    double retrySeconds = 3.0;
    // The synthesizers' output level: one track of any of the four first
    // instruments peaks between -11 and -7 dBFS (the library's default of
    // 0.2 gives about -28); a limiter keeps many tracks below full scale.
    double gain = 2.8;
};

// The sequencer on an embedded synthesizer. Every file gets a synthesizer of
// its own (so a file that ends or restarts never changes another file's
// instruments); one audio callback mixes them. The SoundFont loads on a
// thread of its own: commands sent earlier are carried out once it is ready.
// Commands return without waiting for the music; unusable commands and files
// are ignored.
class FluidSequencer : public SoundEngine {
public:
    explicit FluidSequencer(FluidSequencerOptions options = {}, StatusCallback onStatus = {},
                            EventObserver onEvent = {});
    ~FluidSequencer() override;
    FluidSequencer(const FluidSequencer&) = delete;
    FluidSequencer& operator=(const FluidSequencer&) = delete;

    void submit(PreparedCommand command) override;
    void startLoading() override;
    bool loading() const override;
    bool waitUntilLoaded() override;
    void render(float* left, float* right, int frames) override;
    // On a synthesizer of its own, made for this file with the engine's
    // options; the engine's playing goes on meanwhile.
    RenderOutcome renderFile(const std::vector<std::uint8_t>& midi, const BlockSink& sink) override;

    // The device buffer the drivers are asked for, in milliseconds.
    double bufferMilliseconds() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tsuzuri

// The engine module's one entry point, looked up by name after the program
// opened the module: a new engine, owned by the caller.
extern "C" tsuzuri::SoundEngine* tsuzuri_make_sound_engine(
    const tsuzuri::FluidSequencerOptions* options, tsuzuri::SoundEngine::StatusCallback* onStatus,
    tsuzuri::SoundEngine::EventObserver* onEvent);
