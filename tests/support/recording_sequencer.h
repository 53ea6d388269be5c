#pragma once

#include <string>
#include <vector>

#include "midi/sequencer.h"

namespace tsuzuri::test {

// A sequencer that keeps the commands it is sent, in order, and plays nothing.
class RecordingSequencer : public Sequencer {
public:
    void sendCommand(const std::string& command) override { commands.push_back(command); }
    std::vector<std::string> commands;
};

}  // namespace tsuzuri::test
