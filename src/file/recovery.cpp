#include "file/recovery.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "file/score_file.h"
#include "io/safe_file.h"

namespace tsuzuri {

namespace {

const std::string kPrefix = "復元-";

bool isRecoveryName(const std::string& name) {
    return name.rfind(kPrefix, 0) == 0 && name.size() > kPrefix.size() + 4 &&
           name.compare(name.size() - 4, 4, kScoreFileExtension) == 0;
}

}  // namespace

std::string recoveryFileName(std::time_t started, long pid) {
    std::tm local{};
    localtime_r(&started, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return kPrefix + stamp + "-" + std::to_string(pid) + kScoreFileExtension;
}

std::vector<std::filesystem::path> recoveryCopies(const std::filesystem::path& dir) {
    struct Copy {
        std::filesystem::path path;
        std::filesystem::file_time_type time;
    };
    std::vector<Copy> copies;
    std::error_code error;
    for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (!isRecoveryName(it->path().filename().string()) || !it->is_regular_file(ignored))
            continue;
        copies.push_back({it->path(), it->last_write_time(ignored)});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return a.time > b.time; });
    std::vector<std::filesystem::path> paths;
    for (const Copy& copy : copies)
        paths.push_back(copy.path);
    return paths;
}

std::vector<std::filesystem::path> unsavedRecoveryCopies(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> unsaved;
    for (const std::filesystem::path& copy : recoveryCopies(dir)) {
        const ReadResult file = readRegularFile(copy, kMaxScoreFileBytes);
        const ScoreRead read = readScoreText(std::string_view(
            reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
        std::error_code missing;
        const auto copied = std::filesystem::last_write_time(copy, missing);
        if (read.saved && !read.saved->documentPath.empty() && !missing) {
            const auto saved =
                std::filesystem::last_write_time(read.saved->documentPath, missing);
            if (!missing && saved >= copied)
                continue;
        }
        unsaved.push_back(copy);
    }
    return unsaved;
}

void pruneRecoveryCopies(const std::filesystem::path& dir, std::size_t keep) {
    const std::vector<std::filesystem::path> copies = recoveryCopies(dir);
    for (std::size_t i = keep; i < copies.size(); ++i) {
        std::error_code ignored;
        std::filesystem::remove(copies[i], ignored);
    }
}

}  // namespace tsuzuri
