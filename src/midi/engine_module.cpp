#include "midi/engine_module.h"

#include <dlfcn.h>

namespace tsuzuri {

namespace {

using MakeEngine = SoundEngine* (*)(const FluidSequencerOptions*, SoundEngine::StatusCallback*,
                                    SoundEngine::EventObserver*);

// The module stays open until the program ends: the synthesizer library keeps
// threads and handlers of its own that must not lose their code.
MakeEngine openModule(const std::vector<std::filesystem::path>& candidates) {
    for (const std::filesystem::path& path : candidates) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr)
            continue;
        if (void* symbol = dlsym(handle, "tsuzuri_make_sound_engine"))
            return reinterpret_cast<MakeEngine>(symbol);
        dlclose(handle);
    }
    return nullptr;
}

}  // namespace

EngineModule::EngineModule(std::vector<std::filesystem::path> candidates,
                           FluidSequencerOptions options, SoundEngine::StatusCallback onStatus)
    : candidates_(std::move(candidates)),
      options_(std::move(options)),
      onStatus_(std::move(onStatus)) {}

EngineModule::~EngineModule() {
    if (opener_.joinable())
        opener_.join();
    delete engine_;
}

void EngineModule::start() {
    std::lock_guard lock(mutex_);
    if (!opener_.joinable() && !opened_)
        opener_ = std::thread([this] { open(); });
}

void EngineModule::open() {
    SoundEngine* engine = nullptr;
    if (MakeEngine make = openModule(candidates_)) {
        FluidSequencerOptions options = options_;
        options.loadAtOnce = true;
        SoundEngine::StatusCallback onStatus = onStatus_;
        SoundEngine::EventObserver onEvent;
        engine = make(&options, &onStatus, &onEvent);
    }
    std::vector<PreparedCommand> waiting;
    {
        std::lock_guard lock(mutex_);
        engine_ = engine;
        opened_ = true;
        waiting.swap(waiting_);
        // Handed on under the lock, so that no later command overtakes them.
        if (engine_ != nullptr) {
            for (PreparedCommand& command : waiting)
                engine_->submit(std::move(command));
        }
    }
    openedChanged_.notify_all();
    if (engine == nullptr && onStatus_)
        onStatus_(SoundStatus::NoEngine);
}

void EngineModule::sendCommand(const std::string& text) {
    std::optional<PreparedCommand> command = prepareCommand(text);
    if (!command)
        return;
    std::lock_guard lock(mutex_);
    if (engine_ != nullptr)
        engine_->submit(std::move(*command));
    else if (!opened_)
        waiting_.push_back(std::move(*command));
}

bool EngineModule::waitUntilLoaded() {
    if (opener_.joinable())
        opener_.join();
    SoundEngine* engine = this->engine();
    return engine != nullptr && engine->waitUntilLoaded();
}

RenderOutcome EngineModule::renderFile(const std::vector<std::uint8_t>& midi,
                                       const BlockSink& sink) {
    start();
    SoundEngine* engine = nullptr;
    {
        std::unique_lock lock(mutex_);
        openedChanged_.wait(lock, [this] { return opened_; });
        engine = engine_;
    }
    // The engine lives as long as the module: rendering needs no lock.
    return engine != nullptr ? engine->renderFile(midi, sink) : RenderOutcome::NoEngine;
}

SoundEngine* EngineModule::engine() {
    std::lock_guard lock(mutex_);
    return engine_;
}

}  // namespace tsuzuri
