#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tsuzuri {

// Which file stands at a name, and as which content: the same device, inode,
// size and modification time (to the nanosecond) mean the file has not been
// replaced or written since it was last seen.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

FileIdentity identityOf(const struct stat& info);

// The file at `path` (a link followed, as a file the user chose is read), or
// none when nothing can be seen there.
std::optional<FileIdentity> identifyFile(const std::filesystem::path& path);

// Whether `path` names a regular file whose permission bits allow nobody to
// write it. Decided by the bits, not by asking the system whether this
// process may write: a process of the superuser may write anything, yet a
// file its owner made read-only must not be replaced behind their back.
bool isWriteProtected(const std::filesystem::path& path);

}  // namespace tsuzuri
