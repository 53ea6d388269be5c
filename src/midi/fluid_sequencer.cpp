#include "midi/fluid_sequencer.h"

#include <fluidsynth.h>
#include <malloc.h>

#include <algorithm>
#include <condition_variable>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>

#include "midi/fluid_setup.h"
#include "midi/limiter.h"
#include "midi/program_scan.h"
#include "state/table.h"

namespace tsuzuri {

namespace {

// One synthesizer per file that plays at the same time: the preview and the
// playback file. A further file takes over the one that started playing first.
constexpr int kFileSynths = 2;
constexpr int kPrograms = 128;
constexpr int kPolyphony = 128;
constexpr int kNoBank = 16383;  // the highest bank number MIDI can select
// How long a synthesizer is still rendered after its player stopped, so that
// its last notes can fade out; after that it costs nothing until it plays again.
constexpr int kTailSeconds = 2;

}  // namespace

struct FileSynth {
    const FluidSequencer::EventObserver* onEvent = nullptr;
    fluid_synth_t* synth = nullptr;
    int soundFont = -1;
    bool sharesSoundFont = false;  // the SoundFont belongs to the first synthesizer
    fluid_player_t* player = nullptr;
    std::string path;               // the file it plays or played last; empty when unused
    std::uint64_t lastPlay = 0;     // when it was last asked to play, to pick one to reuse
    std::int64_t quietFrames = 0;   // frames rendered since it last had music to play
    Table<bool, kPrograms> uses;    // the programs of the file it plays or played last
};

struct FluidSequencer::Impl {
    FluidSequencerOptions options;
    StatusCallback onStatus;
    EventObserver onEvent;

    fluid_settings_t* settings = nullptr;
    Table<FileSynth, kFileSynths> files;
    // Programs pinned in the shared SoundFont: their samples stay loaded.
    Table<bool, kPrograms> pinned;
    fluid_audio_driver_t* driver = nullptr;
    std::optional<Limiter> limiter;  // used under renderMutex

    // Held by the audio callback while it renders, and by commands while they
    // change what the synthesizers play: a player is never made or deleted
    // while its synthesizer renders.
    std::mutex renderMutex;
    // One command at a time; guards the state and the waiting commands.
    mutable std::mutex commandMutex;
    std::condition_variable loadedChanged;
    enum class State { Loading, Ready, Failed } state = State::Loading;
    std::vector<PreparedCommand> waiting;
    std::uint64_t playCount = 0;
    // When the last attempt to load ended, for the next retry after a failure.
    std::chrono::steady_clock::time_point lastAttempt;

    std::thread loader;
    bool loadStarted = false;

    void startLoader();
    void load();
    SoundStatus createSynths();
    bool createSynth(FileSynth& file, fluid_sfont_t* shared);
    bool startDriver();
    void destroy();
    bool retryDue() const;

    void execute(const PreparedCommand& command);
    void play(const PreparedCommand& command);
    void close(const std::string& path);
    FileSynth& synthFor(const std::string& path);
    void stop(FileSynth& file);
    void selectPrograms(FileSynth& file, const FilePrograms& programs);

    void mix(int frames, float* left, float* right);
    static int audioCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);
    static int forwardEvent(void* data, fluid_midi_event_t* event);
};

FluidSequencer::FluidSequencer(FluidSequencerOptions options, StatusCallback onStatus,
                               EventObserver onEvent)
    : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->onStatus = std::move(onStatus);
    impl_->onEvent = std::move(onEvent);
    impl_->limiter.emplace(impl_->options.sampleRate);
    if (impl_->options.loadAtOnce)
        startLoading();
}

void FluidSequencer::startLoading() {
    std::lock_guard lock(impl_->commandMutex);
    if (!impl_->loadStarted)
        impl_->startLoader();
}

// Needs commandMutex. A loader that ran before has finished: it set the state
// to Failed under the same mutex as its last step.
void FluidSequencer::Impl::startLoader() {
    if (loader.joinable())
        loader.join();
    loadStarted = true;
    state = State::Loading;
    loader = std::thread([this] { load(); });
}

FluidSequencer::~FluidSequencer() {
    if (impl_->loader.joinable())
        impl_->loader.join();
    impl_->destroy();
}

void FluidSequencer::Impl::load() {
    SoundStatus status = createSynths();
    if (status == SoundStatus::Ready && !options.drivers.empty() && !startDriver())
        status = SoundStatus::NoAudioDevice;
    const bool ok = status == SoundStatus::Ready;
    if (!ok)
        destroy();
    // Reading the SoundFont left freed working memory in this thread's heap.
    malloc_trim(0);
    if (onStatus)
        onStatus(status);
    std::lock_guard lock(commandMutex);
    state = ok ? State::Ready : State::Failed;
    lastAttempt = std::chrono::steady_clock::now();
    if (ok) {
        for (const PreparedCommand& command : waiting)
            execute(command);
    }
    waiting.clear();
    loadedChanged.notify_all();
}

fluid_settings_t* newEngineSettings(const FluidSequencerOptions& options) {
    fluid_settings_t* settings = new_fluid_settings();
    if (settings == nullptr)
        return nullptr;
    // Only the instruments a file selects are read from the SoundFont.
    fluid_settings_setint(settings, "synth.dynamic-sample-loading", 1);
    // More channels corrupt the heap together with a player in this library.
    fluid_settings_setint(settings, "synth.midi-channels", kMidiChannels);
    // A player that ends must not reset the instruments selected for the next play.
    fluid_settings_setint(settings, "player.reset-synth", 0);
    // Dry sound: a stopped file and a rest are silent, with no room echo after them.
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_settings_setnum(settings, "synth.sample-rate", options.sampleRate);
    fluid_settings_setint(settings, "audio.period-size", options.periodSize);
    fluid_settings_setint(settings, "audio.periods", options.periods);
    fluid_settings_setstr(settings, "audio.alsa.device", options.alsaDevice.c_str());
    fluid_settings_setnum(settings, "synth.gain", options.gain);
    // Twenty tracks of two-sample notes with their releases fit in 128 voices;
    // the default of 256 only costs memory.
    fluid_settings_setint(settings, "synth.polyphony", kPolyphony);
    return settings;
}

void makeChannelsMelodic(fluid_synth_t* synth) {
    // Every track is an instrument: channel 10 plays melodies from bank 0,
    // not the drum kits of General MIDI.
    fluid_synth_set_channel_type(synth, 9, CHANNEL_TYPE_MELODIC);
}

void selectNoInstruments(fluid_synth_t* synth) {
    for (int channel = 0; channel < kMidiChannels; ++channel) {
        fluid_synth_unset_program(synth, channel);
        fluid_synth_bank_select(synth, channel, 0);
    }
}

SoundStatus FluidSequencer::Impl::createSynths() {
    settings = newEngineSettings(options);
    if (settings == nullptr)
        return SoundStatus::NoEngine;
    fluid_sfont_t* shared = nullptr;
    for (FileSynth& file : files) {
        if (!createSynth(file, shared))
            return file.synth == nullptr ? SoundStatus::NoEngine : SoundStatus::NoSoundFont;
        shared = fluid_synth_get_sfont_by_id(file.synth, file.soundFont);
    }
    return SoundStatus::Ready;
}

// The first synthesizer reads the SoundFont; the others use the same one, so
// that its instrument tables (about 12 MB) and samples are in memory once.
bool FluidSequencer::Impl::createSynth(FileSynth& file, fluid_sfont_t* shared) {
    file.onEvent = &onEvent;
    file.synth = new_fluid_synth(settings);
    if (file.synth == nullptr)
        return false;
    makeChannelsMelodic(file.synth);
    // No instrument is selected (and loaded) until a file asks for it.
    if (shared == nullptr) {
        file.soundFont = fluid_synth_sfload(file.synth, options.soundFont.string().c_str(), 0);
    } else {
        // Adding a SoundFont selects every channel's instrument again, which
        // would load its samples; on a bank that no SoundFont has, nothing is
        // found. The library's warnings about that are not wanted.
        for (int channel = 0; channel < kMidiChannels; ++channel)
            fluid_synth_bank_select(file.synth, channel, kNoBank);
        const fluid_log_function_t warn = fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        file.soundFont = fluid_synth_add_sfont(file.synth, shared);
        fluid_set_log_function(FLUID_WARN, warn, nullptr);
        file.sharesSoundFont = file.soundFont >= 0;
    }
    selectNoInstruments(file.synth);
    return file.soundFont >= 0;
}

// The library never falls back to another driver by itself.
bool FluidSequencer::Impl::startDriver() {
    for (const std::string& name : options.drivers) {
        fluid_settings_setstr(settings, "audio.driver", name.c_str());
        driver = new_fluid_audio_driver2(settings, &Impl::audioCallback, this);
        if (driver != nullptr)
            return true;
    }
    return false;
}

// In reverse order: the synthesizers that share the first one's SoundFont
// let go of it before it goes with the first.
void FluidSequencer::Impl::destroy() {
    if (driver != nullptr)
        delete_fluid_audio_driver(driver);
    driver = nullptr;
    for (int i = kFileSynths - 1; i >= 0; --i) {
        FileSynth& file = files[i];
        if (file.player != nullptr)
            delete_fluid_player(file.player);
        if (file.synth != nullptr && file.sharesSoundFont)
            fluid_synth_remove_sfont(file.synth,
                                     fluid_synth_get_sfont_by_id(file.synth, file.soundFont));
        if (file.synth != nullptr)
            delete_fluid_synth(file.synth);
        file.player = nullptr;
        file.synth = nullptr;
        file.sharesSoundFont = false;
        file.uses.fill(false);
    }
    pinned.fill(false);
    if (settings != nullptr)
        delete_fluid_settings(settings);
    settings = nullptr;
}

// A play after a failed load tries to load again, on the loading thread, and
// is carried out should that succeed; other commands of a failed engine are
// dropped.
void FluidSequencer::submit(PreparedCommand command) {
    std::lock_guard lock(impl_->commandMutex);
    switch (impl_->state) {
    case Impl::State::Ready:
        impl_->execute(command);
        break;
    case Impl::State::Loading:
        impl_->waiting.push_back(std::move(command));
        break;
    case Impl::State::Failed:
        if (command.verb == SequencerCommand::Verb::Play && impl_->retryDue()) {
            impl_->waiting.push_back(std::move(command));
            impl_->startLoader();
        }
        break;
    }
}

bool FluidSequencer::Impl::retryDue() const {
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - lastAttempt;
    return since.count() >= options.retrySeconds;
}

void FluidSequencer::Impl::execute(const PreparedCommand& command) {
    if (command.verb == SequencerCommand::Verb::Play)
        play(command);
    else
        close(command.path);
}

void FluidSequencer::Impl::play(const PreparedCommand& command) {
    FileSynth& file = synthFor(command.path);
    {
        std::lock_guard lock(renderMutex);
        stop(file);
        file.path = command.path;
        file.lastPlay = ++playCount;
    }
    // Selecting loads the instruments here rather than on the audio thread,
    // where the player's own program changes would load them.
    selectPrograms(file, command.programs);
    std::lock_guard lock(renderMutex);
    // A player's file list cannot be emptied: every play gets a new player.
    file.player = new_fluid_player(file.synth);
    if (file.player == nullptr)
        return;
    fluid_player_set_playback_callback(file.player, &Impl::forwardEvent, &file);
    fluid_player_add_mem(file.player, command.bytes.data(), command.bytes.size());
    fluid_player_play(file.player);
    file.quietFrames = 0;
}

void FluidSequencer::Impl::close(const std::string& path) {
    for (FileSynth& file : files) {
        if (file.path == path) {
            std::lock_guard lock(renderMutex);
            stop(file);
        }
    }
}

FileSynth& FluidSequencer::Impl::synthFor(const std::string& path) {
    FileSynth* oldest = &files[0];
    for (FileSynth& file : files) {
        if (file.path == path)
            return file;
        if (file.lastPlay < oldest->lastPlay)
            oldest = &file;
    }
    return *oldest;
}

// Silences the file at once: its player goes (stopping a player only pauses
// it) and every voice ends without its release. Needs renderMutex.
void FluidSequencer::Impl::stop(FileSynth& file) {
    if (file.player != nullptr)
        delete_fluid_player(file.player);
    file.player = nullptr;
    fluid_synth_all_sounds_off(file.synth, -1);
    file.quietFrames = 0;
}

void FluidSequencer::Impl::selectPrograms(FileSynth& file, const FilePrograms& programs) {
    file.uses.fill(false);
    for (int channel = 0; channel < kMidiChannels; ++channel) {
        const int program = programs.program[channel];
        if (program < 0) {
            // A channel the file leaves unused lets go of its last instrument.
            fluid_synth_unset_program(file.synth, channel);
            continue;
        }
        // Pinned, the instrument stays loaded when the player's own program
        // change selects it again, so that nothing loads on the audio thread.
        fluid_synth_pin_preset(file.synth, file.soundFont, 0, program);
        pinned[program] = true;
        file.uses[program] = true;
        fluid_synth_program_change(file.synth, channel, program);
    }
    // Instruments that no file in the synthesizers uses now go with their
    // samples: memory holds only what is playing or was just played.
    bool released = false;
    for (int program = 0; program < kPrograms; ++program) {
        const bool used = std::any_of(files.begin(), files.end(),
                                      [&](const FileSynth& f) { return f.uses[program]; });
        if (pinned[program] && !used) {
            fluid_synth_unpin_preset(file.synth, file.soundFont, 0, program);
            pinned[program] = false;
            released = true;
        }
    }
    // The samples' memory goes back to the system, not only to the heap.
    if (released)
        malloc_trim(0);
}

void FluidSequencer::render(float* left, float* right, int frames) {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    // The synthesizers are complete once loading has finished.
    if (!loading() && impl_->driver == nullptr)
        impl_->mix(frames, left, right);
}

void FluidSequencer::Impl::mix(int frames, float* left, float* right) {
    std::lock_guard lock(renderMutex);
    const std::int64_t tailFrames = std::int64_t{kTailSeconds} * options.sampleRate;
    for (FileSynth& file : files) {
        if (file.synth == nullptr || file.quietFrames >= tailFrames)
            continue;
        float* out[2] = {left, right};
        fluid_synth_process(file.synth, frames, 0, nullptr, 2, out);
        const bool playing =
            file.player != nullptr && fluid_player_get_status(file.player) == FLUID_PLAYER_PLAYING;
        file.quietFrames = playing ? 0 : file.quietFrames + frames;
    }
    limiter->process(left, right, frames);
}

int FluidSequencer::Impl::audioCallback(void* data, int len, int, float*[], int nout,
                                        float* out[]) {
    if (nout >= 2)
        static_cast<Impl*>(data)->mix(len, out[0], out[1]);
    return FLUID_OK;
}

int FluidSequencer::Impl::forwardEvent(void* data, fluid_midi_event_t* event) {
    auto* file = static_cast<FileSynth*>(data);
    const int result = fluid_synth_handle_midi_event(file->synth, event);
    if (*file->onEvent) {
        (*file->onEvent)(
            PlayedEvent{fluid_midi_event_get_type(event), fluid_midi_event_get_channel(event),
                        fluid_midi_event_get_key(event), fluid_midi_event_get_velocity(event)});
    }
    return result;
}

RenderOutcome FluidSequencer::renderFile(const std::vector<std::uint8_t>& midi,
                                         const BlockSink& sink) {
    return renderOffline(impl_->options, midi, sink);
}

bool FluidSequencer::loading() const {
    std::lock_guard lock(impl_->commandMutex);
    return impl_->state == Impl::State::Loading;
}

bool FluidSequencer::waitUntilLoaded() {
    std::unique_lock lock(impl_->commandMutex);
    impl_->loadedChanged.wait(
        lock, [&] { return impl_->loadStarted && impl_->state != Impl::State::Loading; });
    return impl_->state == Impl::State::Ready;
}

double FluidSequencer::bufferMilliseconds() const {
    const auto& o = impl_->options;
    return 1000.0 * o.periodSize * o.periods / o.sampleRate;
}

}  // namespace tsuzuri

tsuzuri::SoundEngine* tsuzuri_make_sound_engine(const tsuzuri::FluidSequencerOptions* options,
                                                tsuzuri::SoundEngine::StatusCallback* onStatus,
                                                tsuzuri::SoundEngine::EventObserver* onEvent) {
    return new tsuzuri::FluidSequencer(*options, std::move(*onStatus), std::move(*onEvent));
}
