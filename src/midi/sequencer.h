#pragma once

#include <optional>
#include <string>

namespace tsuzuri {

// The sequencer's command-string interface: "play" or "close", one space, and
// the full path of a MIDI file in double quotation marks. A command returns at
// once; playback goes on asynchronously, keyed by the file's path.
class Sequencer {
public:
    virtual ~Sequencer() = default;
    virtual void sendCommand(const std::string& command) = 0;
};

std::string releaseCommand(const std::string& path);  // close "path"
std::string playCommand(const std::string& path);     // play "path"

struct SequencerCommand {
    enum class Verb { Play, Close };
    Verb verb;
    std::string path;
};

// Parses a command string; anything that is not exactly a known verb, one
// space and a quoted non-empty path gives nothing.
std::optional<SequencerCommand> parseCommand(const std::string& command);

}  // namespace tsuzuri
