#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace tsuzuri::test {

// The program installed by `cmake --install` of this build into a prefix of
// its own, with a home directory for the user who runs it. When the tests run
// as root that user is "nobody", so that the prefix is really out of reach
// for writing; otherwise it is the tester, and the prefix is made read-only.
class InstalledProgram {
public:
    InstalledProgram();
    ~InstalledProgram();

    bool installed() const { return installed_; }
    const std::string& installLog() const { return installLog_; }
    const std::filesystem::path& prefix() const { return prefix_; }
    const std::filesystem::path& home() const { return home_; }
    std::filesystem::path bin() const { return prefix_ / "bin"; }
    std::filesystem::path desktopFile() const;
    std::filesystem::path iconFile() const;
    // Where the program keeps its files when its own directory is read-only.
    std::filesystem::path userDataDir() const { return home_ / "data" / "tsuzuri"; }

    // Makes bin/ read-only for the user the program runs as.
    void protectBin();
    // The command prefix that runs a program as that user.
    std::vector<std::string> asUser() const;

private:
    void openToOthers();

    TempDir root_{"tsuzuri install"};
    std::filesystem::path prefix_;
    std::filesystem::path home_;
    bool installed_ = false;
    std::string installLog_;
};

}  // namespace tsuzuri::test
