#include "midi/sound_engine.h"

#include "io/safe_file.h"

namespace tsuzuri {

namespace {

// Far above the largest file the program plays (twenty full tracks are
// about 600 KB).
constexpr std::size_t kMaxPlayedFile = 16 * 1024 * 1024;

const std::string kNoDevice = "音声出力装置が見つかりません";
const std::string kNoSoundFont = "SoundFont が見つからないか読めません";
const std::string kNoEngine = "音源モジュールを開けません";

}  // namespace

std::string soundNotice(SoundStatus status) {
    switch (status) {
    case SoundStatus::Loading:
    case SoundStatus::Ready:
        return {};
    case SoundStatus::NoAudioDevice:
        return "（音声出力なし：" + kNoDevice + "）";
    case SoundStatus::NoSoundFont:
        return "（音声出力なし：" + kNoSoundFont + "）";
    case SoundStatus::NoEngine:
        return "（音声出力なし：" + kNoEngine + "）";
    }
    return {};
}

std::string renderFailureText(RenderOutcome outcome) {
    switch (outcome) {
    case RenderOutcome::Done:
    case RenderOutcome::Stopped:
        return {};
    case RenderOutcome::NoEngine:
        return kNoEngine;
    case RenderOutcome::NoSoundFont:
        return kNoSoundFont;
    case RenderOutcome::Failed:
        return "音源が曲を読めません";
    }
    return {};
}

std::optional<PreparedCommand> prepareCommand(const std::string& text) {
    std::optional<SequencerCommand> parsed = parseCommand(text);
    if (!parsed)
        return std::nullopt;
    PreparedCommand command{parsed->verb, std::move(parsed->path), {}, {}};
    if (command.verb == SequencerCommand::Verb::Play) {
        ReadResult read = readRegularFile(command.path, kMaxPlayedFile, Links::Follow);
        if (!read.ok())
        return std::nullopt;
        command.programs = scanPrograms(read.bytes.data(), read.bytes.size());
        if (!command.programs.valid)
        return std::nullopt;
        command.bytes = std::move(read.bytes);
    }
    return command;
}

}  // namespace tsuzuri
