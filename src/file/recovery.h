#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace tsuzuri {

// Recovery copies: while a piece has unsaved changes, each window keeps a
// copy of it in the per-user recovery folder, under a name of its own, and
// removes it once the piece is saved or closed without changes.

// The name of the recovery copy of a window started at `started` by process
// `pid`: "復元-20261207-181600-1234.tsz" (local time).
std::string recoveryFileName(std::time_t started, long pid);

// The recovery copies in `dir` (files named as above), newest first.
std::vector<std::filesystem::path> recoveryCopies(const std::filesystem::path& dir);

// The recovery copies in `dir` that may hold work not saved anywhere, newest
// first: those of pieces without a file, and those newer than their piece's
// file (a copy older than its file's last save holds nothing the file lacks).
std::vector<std::filesystem::path> unsavedRecoveryCopies(const std::filesystem::path& dir);

// Removes all but the newest `keep` recovery copies in `dir`; other files are
// never touched.
void pruneRecoveryCopies(const std::filesystem::path& dir, std::size_t keep);

}  // namespace tsuzuri
