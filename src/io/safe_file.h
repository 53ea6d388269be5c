#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "io/file_identity.h"

namespace tsuzuri {

// The program's own way of touching files: nothing blocks on a FIFO or a
// device, nothing is written through a link or an existing name, and every
// failure comes back as a value with a Japanese text that names the file.

enum class ReadFault {
    None,
    Missing,     // no such file
    NotRegular,  // a directory, FIFO, device or socket
    TooLarge,    // longer than the reader accepts
    Failed,      // open or read failed (permission, I/O error ...)
};

struct ReadResult {
    std::vector<std::uint8_t> bytes;
    ReadFault fault = ReadFault::None;
    int error = 0;  // errno of a failed open or read
    FileIdentity identity;  // of the file read
    bool ok() const { return fault == ReadFault::None; }
};

// Whether a link at the last component of the path is followed (a file the
// user chose) or refused (the program's own files).
enum class Links { Follow, Refuse };

// Reads the first `count` bytes of the regular file at `path` (all of it when
// shorter). A file longer than `maxBytes` is refused as TooLarge without
// being read.
ReadResult readFileHead(const std::filesystem::path& path, std::size_t count, std::size_t maxBytes,
                        Links links = Links::Refuse);

// Reads the whole regular file at `path`, refusing one longer than `maxBytes`.
ReadResult readRegularFile(const std::filesystem::path& path, std::size_t maxBytes,
                           Links links = Links::Refuse);

// Whether a write must reach the disk before the file is replaced: a score
// the user saved must survive a power cut; a playback file is made anew.
enum class Durability { Sync, Cache };

// Replaces the file at `path` with exactly `bytes`. The bytes go to a new
// file beside it (created exclusively under a unique name of fixed length,
// so no link or foreign file is written through and every name the folder
// takes can be saved) that is renamed over `path` only when complete: every
// reader sees the old file or the new one, whole, and a failed write leaves
// the old file as it was. The new file keeps the permission bits of the one
// it replaces, and its owner and group where the process may give them; a
// file whose permission bits allow no writing is not replaced. A link at
// `path` is replaced, not followed. With Durability::Sync the file and its
// name are on the disk before the answer. Returns "" on success, otherwise a
// Japanese text naming the file.
std::string writeFileAtomically(const std::filesystem::path& path,
                                const std::vector<std::uint8_t>& bytes,
                                Durability durability = Durability::Cache);

// The same for a file written in parts (one too large to hold in memory):
// the parts go to the new file beside `path`, which replaces `path` only on
// commit(). Dropped without a commit, the new file is removed and `path`
// stays as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends `size` bytes; false once anything has failed.
    bool write(const std::uint8_t* data, std::size_t size);
    // Writes `size` bytes at `offset` of what has been written so far.
    bool writeAt(std::size_t offset, const std::uint8_t* data, std::size_t size);
    // Puts the file in place. Returns "" on success, otherwise a Japanese
    // text naming the file (also for any failure before).
    std::string commit(Durability durability);

private:
    bool fail(int error);

    std::filesystem::path path_;
    std::string temporary_;
    int fd_ = -1;
    int error_ = 0;        // errno of the first failure
    bool readOnly_ = false;  // the file at path_ allows no writing
};

// Removes from `dir` the temporary files of this file layer that a crash
// left behind and that are older than `age`: regular files named as its
// temporary files (and, for `formerTarget`, as the temporary files of
// `formerTarget` were once named), never a link or anything else. Returns
// how many went.
std::size_t removeStaleTemporaries(const std::filesystem::path& dir, std::chrono::seconds age,
                                   const std::string& formerTarget = {});

// Overwrites single bytes of the regular file at `path` in place: each pair is
// an offset and the byte written there. The file is opened without following a
// link or waiting for a FIFO, and left untouched when it is no regular file,
// has a second name (a hard link would carry the change into another file), is
// longer than `maxBytes` or too short for an offset. Returns "" on success,
// otherwise a Japanese text naming the file.
std::string overwriteBytes(const std::filesystem::path& path,
                           const std::vector<std::pair<std::size_t, std::uint8_t>>& bytes,
                           std::size_t maxBytes);

// Whether files can be created in `dir`: a uniquely named probe is created
// exclusively there and removed again.
bool canCreateFilesIn(const std::filesystem::path& dir);

// What went wrong, in Japanese: the reason for an errno value, and the whole
// notice for a failed read of `path`.
std::string errnoText(int error);
std::string readFaultText(const std::filesystem::path& path, const ReadResult& result);

}  // namespace tsuzuri
