#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "io/file_identity.h"

namespace tsuzuri {

// How long a temporary file of a save may stand before it counts as left by
// a crash: no save takes a day.
inline constexpr std::chrono::seconds kStaleTemporaryAge = std::chrono::hours(24);

struct ScoreSaved {
    enum class Outcome {
        Written,
        ChangedOnDisk,  // another file than the one expected stands there: nothing written
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    std::string error;  // Japanese, naming the file, when Failed
    std::optional<FileIdentity> identity;  // of the file written
};

// Saves the score file text `bytes` to `path`, on the disk before the answer.
// With `expected`, the file that stands at `path` must still be that one (as
// this window last read or wrote it); a file gone since is simply written
// anew. Temporary files that earlier saves left beside `path` are cleared
// once they are a day old.
ScoreSaved saveScoreBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                          const std::optional<FileIdentity>& expected);

}  // namespace tsuzuri
