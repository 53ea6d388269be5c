#include "ship/installed_program.h"

#include <unistd.h>

#include "ship/process.h"

namespace tsuzuri::test {

namespace {

constexpr unsigned kNobody = 65534;

bool runningAsRoot() {
    return geteuid() == 0;
}

}  // namespace

InstalledProgram::InstalledProgram()
    : prefix_(root_.path() / "prefix"), home_(root_.path() / "home") {
    const RunResult install =
        run({TSUZURI_CMAKE, "--install", TSUZURI_BUILD_DIR, "--prefix", prefix_.string()});
    installed_ = install.status == 0;
    installLog_ = install.output;
    for (const char* dir : {"", "data", "config", "cache", "runtime"})
        std::filesystem::create_directories(home_ / dir);
    std::filesystem::permissions(home_ / "runtime", std::filesystem::perms::owner_all);
    if (runningAsRoot()) {
        for (const char* dir : {"", "data", "config", "cache", "runtime"}) {
            if (chown((home_ / dir).c_str(), kNobody, kNobody) != 0)
                installed_ = false;
        }
        openToOthers();
    }
}

// The other user reaches the prefix whatever the tester's umask is.
void InstalledProgram::openToOthers() {
    using std::filesystem::perms;
    const auto add = std::filesystem::perm_options::add;
    std::filesystem::permissions(root_.path(), perms::others_exec, add);
    std::filesystem::permissions(prefix_, perms::others_read | perms::others_exec, add);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(prefix_)) {
        const bool runnable = entry.is_directory() ||
                              (entry.status().permissions() & perms::owner_exec) != perms::none;
        std::filesystem::permissions(
            entry.path(), runnable ? perms::others_read | perms::others_exec : perms::others_read,
            add);
    }
}

InstalledProgram::~InstalledProgram() {
    std::error_code ignored;
    std::filesystem::permissions(bin(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
}

std::filesystem::path InstalledProgram::desktopFile() const {
    return prefix_ / "share" / "applications" / "tsuzuri.desktop";
}

std::filesystem::path InstalledProgram::iconFile() const {
    return prefix_ / "share" / "icons" / "hicolor" / "scalable" / "apps" / "tsuzuri.svg";
}

void InstalledProgram::protectBin() {
    using std::filesystem::perms;
    std::filesystem::permissions(bin(),
                                 perms::owner_write | perms::group_write | perms::others_write,
                                 std::filesystem::perm_options::remove);
}

std::vector<std::string> InstalledProgram::asUser() const {
    if (!runningAsRoot())
        return {};
    return {"setpriv", "--reuid=" + std::to_string(kNobody), "--regid=" + std::to_string(kNobody),
            "--clear-groups", "--"};
}

}  // namespace tsuzuri::test
