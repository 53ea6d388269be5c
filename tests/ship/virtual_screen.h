#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ship/process.h"
#include "support/temp_dir.h"

namespace tsuzuri::test {

// An X server of its own (Xvfb on a free display) and xdotool to move the
// pointer, click and press keys on it as a user would.
class VirtualScreen {
public:
    VirtualScreen();

    bool ready() const { return !display_.empty(); }
    // The environment that puts a program on this screen.
    std::map<std::string, std::string> environment() const;
    // Waits for a visible window whose title contains `title`; its id or "".
    std::string waitForWindow(const std::string& title) const;
    // Runs xdotool with `args`; true when it succeeded.
    bool xdotool(const std::vector<std::string>& args) const;

private:
    TempDir dir_{"tsuzuri screen"};
    std::unique_ptr<Process> server_;
    std::string display_;
};

}  // namespace tsuzuri::test
