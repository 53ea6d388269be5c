#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/sequencer.h"

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
};

// A MIDI event as a file's player hands it to that file's synthesizer.
struct PlayedEvent {
    int type = 0;  // status without channel: 0x90 note-on, 0xC0 program change ...
    int channel = 0;
    int data1 = 0;  // key, controller or program
    int data2 = 0;  // velocity or value
};

// The sequencer on an embedded synthesizer. Every file gets a synthesizer of
// its own (so a file that ends or restarts never changes another file's
// instruments); one audio callback mixes them. The SoundFont loads on a
// thread of its own: commands sent earlier are carried out once it is ready.
// Commands return without waiting for the music; unusable commands and files
// are ignored.
class FluidSequencer : public Sequencer {
public:
    // Called once, from the loading thread, when loading has finished: whether
    // files can be heard (or, without drivers, rendered).
    using StatusCallback = std::function<void(bool soundAvailable)>;
    // Called on the rendering thread for every event a player hands on.
    using EventObserver = std::function<void(const PlayedEvent&)>;

    explicit FluidSequencer(FluidSequencerOptions options = {}, StatusCallback onStatus = {},
                            EventObserver onEvent = {});
    ~FluidSequencer() override;
    FluidSequencer(const FluidSequencer&) = delete;
    FluidSequencer& operator=(const FluidSequencer&) = delete;

    void sendCommand(const std::string& command) override;
    // Starts loading the SoundFont, once; later calls do nothing.
    void startLoading();

    // True until the SoundFont has loaded (or failed to).
    bool loading() const;
    // Waits until loading has finished; whether sound is available.
    bool waitUntilLoaded();

    // Renders the next `frames` frames of all files, mixed, into `left` and
    // `right`. For an engine without a driver; with one it writes silence.
    void render(float* left, float* right, int frames);

    // The device buffer the drivers are asked for, in milliseconds.
    double bufferMilliseconds() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tsuzuri
