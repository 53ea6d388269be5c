#include "ship/virtual_screen.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace tsuzuri::test {

namespace {

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// The complete line of digits that -displayfd writes among the server's
// own messages, or "".
std::string displayNumber(const std::string& log) {
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        if (!lines.eof() && !line.empty() &&
            line.find_first_not_of("0123456789") == std::string::npos)
            return line;
    }
    return {};
}

}  // namespace

// Xvfb picks a free display and writes its number once it accepts clients.
VirtualScreen::VirtualScreen() {
    const auto log = dir_.path() / "xvfb.log";
    server_ = std::make_unique<Process>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24",
                                 "-nolisten", "tcp", "-ac"},
        std::map<std::string, std::string>{}, log);
    if (!server_->started())
        return;
    std::string number;
    eventually(
        [&] {
            number = displayNumber(readText(log));
            return !number.empty();
        },
        std::chrono::seconds(10));
    if (!number.empty())
        display_ = ":" + number;
}

std::map<std::string, std::string> VirtualScreen::environment() const {
    return {{"DISPLAY", display_}, {"QT_QPA_PLATFORM", "xcb"}};
}

std::string VirtualScreen::waitForWindow(const std::string& title) const {
    const RunResult found = run({"xdotool", "search", "--sync", "--onlyvisible", "--name", title},
                                {{"DISPLAY", display_}}, std::chrono::seconds(30));
    return found.status == 0 ? firstLine(found.output) : std::string();
}

bool VirtualScreen::xdotool(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {"xdotool"};
    command.insert(command.end(), args.begin(), args.end());
    return run(command, {{"DISPLAY", display_}}, std::chrono::seconds(10)).status == 0;
}

}  // namespace tsuzuri::test
