#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tsuzuri::test {

// A program started with its own environment (the test's, with `env` laid
// over it), its output kept in a file. Ended with SIGTERM when it goes away.
class Process {
public:
    Process(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
            const std::filesystem::path& output);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    // Waits for the program to end by itself; its exit status, or -1 when it
    // was still running after `limit` (it is then ended) or died of a signal.
    int wait(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
};

struct RunResult {
    int status = -1;  // exit status; -1 when it could not run or timed out
    std::string output;
};

// Runs a program to its end, standard output and error together.
RunResult run(const std::vector<std::string>& args,
              const std::map<std::string, std::string>& env = {},
              std::chrono::milliseconds limit = std::chrono::seconds(60));

void waitMilliseconds(int ms);

// Polls `done` every 50 ms until it holds or `limit` has passed.
template <typename Condition>
bool eventually(Condition done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        waitMilliseconds(50);
    }
    return true;
}

}  // namespace tsuzuri::test
