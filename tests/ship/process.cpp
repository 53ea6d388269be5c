#include "ship/process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <random>
#include <thread>

extern char** environ;

namespace tsuzuri::test {

namespace {

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& env) {
    std::vector<std::string> out;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (env.count(entry.substr(0, entry.find('='))) == 0)
            out.push_back(entry);
    }
    for (const auto& [name, value] : env)
        out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (auto& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

void waitMilliseconds(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

Process::Process(const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& env,
                 const std::filesystem::path& output) {
    std::vector<std::string> argStrings = args;
    std::vector<std::string> envStrings = mergedEnvironment(env);
    auto argv = pointers(argStrings);
    auto envp = pointers(envStrings);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Process::~Process() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    if (wait(std::chrono::seconds(5)) == -1 && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

int Process::wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0)
        return -1;
    int status = 0;
    const bool ended = eventually([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, limit);
    if (!ended)
        return -1;
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

RunResult run(const std::vector<std::string>& args, const std::map<std::string, std::string>& env,
              std::chrono::milliseconds limit) {
    std::random_device random;
    const auto output = std::filesystem::temp_directory_path() /
                        ("tsuzuri run " + std::to_string(random()) + ".log");
    RunResult result;
    {
        Process process(args, env, output);
        result.status = process.wait(limit);
    }
    std::ifstream in(output);
    result.output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    return result;
}

}  // namespace tsuzuri::test
