#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "midi/offline_render.h"
#include "midi/program_scan.h"
#include "midi/sequencer.h"

namespace tsuzuri {

// What the sound engine can do at the moment, as the window tells the user.
enum class SoundStatus {
    Loading,        // the engine or its SoundFont is still being loaded
    Ready,          // files can be heard (or, without drivers, rendered)
    NoAudioDevice,  // no audio driver could be opened
    NoSoundFont,    // the SoundFont is missing or cannot be read
    NoEngine,       // the engine module itself could not be opened
};

// The caption's notice for a status, UTF-8: empty while sound is, or may
// soon be, available; otherwise it says which part is missing.
std::string soundNotice(SoundStatus status);

// A command with everything it needs from the disk, read when it was sent:
// a file that changes afterwards still plays as it was.
struct PreparedCommand {
    SequencerCommand::Verb verb = SequencerCommand::Verb::Close;
    std::string path;
    std::vector<std::uint8_t> bytes;  // the whole file, for play
    FilePrograms programs;            // the instruments the file selects, for play
};

// Parses a command string and, for play, reads and scans its file; nothing
// for a command that is unusable or a file that cannot be played.
std::optional<PreparedCommand> prepareCommand(const std::string& text);

// A MIDI event as a file's player hands it to that file's synthesizer.
struct PlayedEvent {
    int type = 0;  // status without channel: 0x90 note-on, 0xC0 program change ...
    int channel = 0;
    int data1 = 0;  // key, controller or program
    int data2 = 0;  // velocity or value
};

// The sequencer and the offline renderer as the engine module offers them.
// Only virtual functions cross the module's boundary, so the program needs
// none of the engine's libraries until it opens the module.
class SoundEngine : public Sequencer, public AudioRenderer {
public:
    // Called from the engine's loading thread after each attempt to load.
    using StatusCallback = std::function<void(SoundStatus)>;
    // Called on the rendering thread for every event a player hands on.
    using EventObserver = std::function<void(const PlayedEvent&)>;

    void sendCommand(const std::string& command) override {
        if (auto prepared = prepareCommand(command))
            submit(std::move(*prepared));
    }
    virtual void submit(PreparedCommand command) = 0;
    // Starts loading the SoundFont, once; later calls do nothing.
    virtual void startLoading() = 0;
    // True while the SoundFont is being loaded.
    virtual bool loading() const = 0;
    // Waits until loading has finished; whether sound is available.
    virtual bool waitUntilLoaded() = 0;
    // Renders the next `frames` frames of all files, mixed, into `left` and
    // `right`. For an engine without a driver; with one it writes silence.
    virtual void render(float* left, float* right, int frames) = 0;
};

}  // namespace tsuzuri
