// Start-up as the user sees it on an X screen: the time from starting a
// process until the server maps its top-level window, for the program and for
// the plain form of 150 widgets, started in interleaved pairs so that both
// see the same load; the ratio is taken pair by pair.
//
// The probe listens on the root window for MapNotify (there is no window
// manager on the probe's screen, so a top-level window is the root's child)
// and takes the window whose _NET_WM_PID is the started process.
//
// Usage: map_probe PAIRS PROGRAM PLAIN_FORM   (DISPLAY names the X screen)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

double monotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

class Screen {
public:
    Screen() {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_) != 0)
            return;
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
        ok_ = true;
    }
    ~Screen() { xcb_disconnect(connection_); }
    bool ok() const { return ok_; }

    // Milliseconds from `started` until a window of process `pid` is mapped.
    std::optional<double> waitForMap(pid_t pid, double started, double timeoutMs) {
        while (monotonicMilliseconds() - started < timeoutMs) {
            xcb_generic_event_t* event = xcb_wait_for_event(connection_);
            if (event == nullptr)
                return std::nullopt;
            const double now = monotonicMilliseconds();
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            const xcb_window_t window =
                mapped ? reinterpret_cast<xcb_map_notify_event_t*>(event)->window : 0;
            std::free(event);
            if (mapped && pidOf(window) == pid)
                return now - started;
        }
        return std::nullopt;
    }

private:
    xcb_atom_t atom(const char* name) {
        auto cookie =
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
        xcb_atom_t result = XCB_ATOM_NONE;
        if (reply != nullptr)
            result = reply->atom;
        std::free(reply);
        return result;
    }
    long pidOf(xcb_window_t window) {
        auto cookie = xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection_, cookie, nullptr);
        long pid = -1;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4)
            pid = *static_cast<std::uint32_t*>(xcb_get_property_value(reply));
        std::free(reply);
        return pid;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = XCB_ATOM_NONE;
    bool ok_ = false;
};

std::optional<double> timeToMap(Screen& screen, const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const double started = monotonicMilliseconds();
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned)
        return std::nullopt;
    const std::optional<double> result = screen.waitForMap(pid, started, 20000);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return result;
}

struct Spread {
    double min, median, max;
};

Spread spreadOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2], v.back()};
}

void printRow(const char* name, const Spread& s, const char* unit) {
    std::printf("  %-18s min %7.2f   median %7.2f   max %7.2f%s\n", name, s.min, s.median, s.max,
                unit);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s PAIRS PROGRAM PLAIN_FORM\n", argv[0]);
        return 2;
    }
    const int pairs = std::max(1, std::atoi(argv[1]));
    const std::vector<std::string> program = {argv[2]};
    const std::vector<std::string> plainForm = {argv[3], "150"};
    Screen screen;
    if (!screen.ok()) {
        std::fprintf(stderr, "no X screen\n");
        return 1;
    }
    // One unmeasured start of each warms the caches of the file system and fonts.
    if (!timeToMap(screen, program) || !timeToMap(screen, plainForm)) {
        std::fprintf(stderr, "no window mapped\n");
        return 1;
    }
    std::vector<double> programTimes, plainTimes, ratios;
    for (int i = 0; i < pairs; ++i) {
        // Alternating which goes first takes the order out of the ratio.
        const bool programFirst = i % 2 == 0;
        const auto first = timeToMap(screen, programFirst ? program : plainForm);
        const auto second = timeToMap(screen, programFirst ? plainForm : program);
        if (!first || !second) {
            std::fprintf(stderr, "no window mapped in pair %d\n", i + 1);
            return 1;
        }
        const double a = programFirst ? *first : *second;
        const double b = programFirst ? *second : *first;
        programTimes.push_back(a);
        plainTimes.push_back(b);
        ratios.push_back(a / b);
    }
    std::printf("start-up until the window is mapped, X screen, %d interleaved pairs\n", pairs);
    printRow("program", spreadOf(programTimes), " ms");
    printRow("plain form (150)", spreadOf(plainTimes), " ms");
    printRow("ratio per pair", spreadOf(ratios), " (target at most 1.3)");
    return 0;
}
