// Start-up to the first paint of the whole window, for the real program and
// for a plain form with as many widgets, started in turns as fresh processes.
//
// The programs are not changed for this: Qt's own painting log, switched on
// through the environment, says when a top-level window is first flushed to
// the screen, and stamps that line with the monotonic clock in milliseconds.
// The probe reads the stamp of the first flush and subtracts the moment it
// started the process; it counts the widgets drawn before that flush.
//
// Usage: startup_probe RUNS PROGRAM PLAIN_FORM
// The platform is the one QT_QPA_PLATFORM names (offscreen when unset).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Paint {
    double milliseconds = 0;  // from spawning the process to its first flush
    int widgets = 0;          // distinct widgets drawn before that flush
};

double monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::vector<std::string> childEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "QT_LOGGING_RULES=", 17) != 0 &&
            std::strncmp(*e, "QT_MESSAGE_PATTERN=", 19) != 0)
            env.emplace_back(*e);
    }
    env.emplace_back("QT_LOGGING_RULES=qt.widgets.painting=true");
    env.emplace_back("QT_MESSAGE_PATTERN=%{time boot} %{category} %{message}");
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
    return env;
}

// The widget named in a "Drawing ... of Class(0x..., name=...)" line.
std::string drawnWidget(const std::string& line) {
    const auto of = line.find(" of ");
    const auto address = line.find("(0x", of);
    if (of == std::string::npos || address == std::string::npos)
        return {};
    return line.substr(address, line.find_first_of(",)", address) - address);
}

class Child {
public:
    Child(const std::vector<std::string>& args, const std::vector<std::string>& env) {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addclose(&actions, fds[1]);
        std::vector<char*> argv, envp;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const auto& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        started_ = monotonicMilliseconds();
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        out_ = fds[0];
    }
    ~Child() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0)
            close(out_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads the child's log until its first flush of a top-level window.
    std::optional<Paint> waitForFirstPaint(int timeoutMs) {
        if (pid_ <= 0)
            return std::nullopt;
        std::set<std::string> drawn;
        std::string pending;
        char buffer[8192];
        for (;;) {
            pollfd p{out_, POLLIN, 0};
            if (poll(&p, 1, timeoutMs) <= 0)
                return std::nullopt;
            const ssize_t n = read(out_, buffer, sizeof buffer);
            if (n <= 0)
                return std::nullopt;
            pending.append(buffer, static_cast<std::size_t>(n));
            std::size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                const std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (line.find("qt.widgets.painting Drawing ") != std::string::npos)
                    drawn.insert(drawnWidget(line));
                if (line.find("qt.widgets.painting Flushing top level") != std::string::npos) {
                    const double stamp = std::strtod(line.c_str(), nullptr) * 1e3;
                    return Paint{stamp - started_, static_cast<int>(drawn.size())};
                }
            }
        }
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    double started_ = 0;
};

std::optional<Paint> firstPaint(const std::vector<std::string>& args) {
    Child child(args, childEnvironment());
    return child.waitForFirstPaint(20000);
}

struct Spread {
    double min, median, max;
};

Spread spreadOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void printRow(const char* name, int widgets, const Spread& s) {
    std::printf("  %-11s widgets %4d   min %6.1f   median %6.1f   max %6.1f ms\n", name, widgets,
                s.min, s.median, s.max);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s RUNS PROGRAM PLAIN_FORM\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    const std::string program = argv[2];
    const std::string plainForm = argv[3];
    const char* platform = std::getenv("QT_QPA_PLATFORM");

    // One unmeasured start of each warms the caches of the file system and fonts.
    const std::optional<Paint> warm = firstPaint({program});
    if (!warm || !firstPaint({plainForm, std::to_string(warm->widgets)})) {
        std::fprintf(stderr, "no first paint seen\n");
        return 1;
    }
    std::vector<double> programTimes, plainTimes;
    int programWidgets = 0, plainWidgets = 0;
    for (int i = 0; i < runs; ++i) {
        const std::optional<Paint> a = firstPaint({program});
        const std::optional<Paint> b = firstPaint({plainForm, std::to_string(warm->widgets)});
        if (!a || !b) {
            std::fprintf(stderr, "no first paint seen in run %d\n", i + 1);
            return 1;
        }
        programTimes.push_back(a->milliseconds);
        plainTimes.push_back(b->milliseconds);
        programWidgets = a->widgets;
        plainWidgets = b->widgets;
    }
    const Spread p = spreadOf(programTimes);
    const Spread f = spreadOf(plainTimes);
    std::printf("start-up to first paint, %s platform, %d runs each in turns\n",
                platform != nullptr ? platform : "offscreen", runs);
    printRow("program", programWidgets, p);
    printRow("plain form", plainWidgets, f);
    std::printf("  ratio of medians %.2f (target at most 1.3)\n", p.median / f.median);
    return 0;
}
