#include "midi/sequencer.h"

namespace tsuzuri {

std::string releaseCommand(const std::string& path) {
    return "close \"" + path + "\"";
}

std::string playCommand(const std::string& path) {
    return "play \"" + path + "\"";
}

std::optional<SequencerCommand> parseCommand(const std::string& command) {
    const auto space = command.find(' ');
    if (space == std::string::npos)
        return std::nullopt;
    const std::string verb = command.substr(0, space);
    const std::string quoted = command.substr(space + 1);
    if (quoted.size() < 3 || quoted.front() != '"' || quoted.back() != '"')
        return std::nullopt;
    std::string path = quoted.substr(1, quoted.size() - 2);
    if (path.find('"') != std::string::npos)
        return std::nullopt;
    if (verb == "play")
        return SequencerCommand{SequencerCommand::Verb::Play, std::move(path)};
    if (verb == "close")
        return SequencerCommand{SequencerCommand::Verb::Close, std::move(path)};
    return std::nullopt;
}

}  // namespace tsuzuri
