#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace tsuzuri::test {

// Runs a shell command; its standard output, and its exit status in `status`.
inline std::string runCommand(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), n);
    status = pclose(pipe);
    return output;
}

}  // namespace tsuzuri::test
