#pragma once

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "midi/fluid_sequencer.h"

namespace tsuzuri {

// The sequencer the window talks to while the engine module, which brings in
// the synthesizer library and the forty libraries behind it, is opened after
// the window has been drawn. Commands sent before the engine exists wait,
// read from the disk as they were when sent, and are carried out once it does.
// The module renders files offline too.
class EngineModule : public Sequencer, public AudioRenderer {
public:
    // `candidates`: where the module may be, tried in order.
    EngineModule(std::vector<std::filesystem::path> candidates, FluidSequencerOptions options,
                 SoundEngine::StatusCallback onStatus);
    ~EngineModule() override;
    EngineModule(const EngineModule&) = delete;
    EngineModule& operator=(const EngineModule&) = delete;

    void sendCommand(const std::string& command) override;
    // Opens the module on a thread of its own and starts the engine, once.
    void start();
    // Waits until the module has been opened and its engine has loaded (or
    // either failed); whether sound is available.
    bool waitUntilLoaded();
    // The engine, once it exists; for its owner to render without a driver.
    SoundEngine* engine();
    // Opens the module first when it has not been opened; NoEngine without it.
    RenderOutcome renderFile(const std::vector<std::uint8_t>& midi, const BlockSink& sink) override;

private:
    void open();

    std::vector<std::filesystem::path> candidates_;
    FluidSequencerOptions options_;
    SoundEngine::StatusCallback onStatus_;

    std::mutex mutex_;  // guards what follows
    std::condition_variable openedChanged_;
    SoundEngine* engine_ = nullptr;
    bool opened_ = false;  // the opening thread has finished, with or without an engine
    std::vector<PreparedCommand> waiting_;
    std::thread opener_;
};

}  // namespace tsuzuri
