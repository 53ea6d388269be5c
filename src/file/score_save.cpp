#include "file/score_save.h"

#include "io/safe_file.h"

namespace tsuzuri {

ScoreSaved saveScoreBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                          const std::optional<FileIdentity>& expected) {
    ScoreSaved saved;
    removeStaleTemporaries(path.has_parent_path() ? path.parent_path() : ".", kStaleTemporaryAge,
                           path.filename().string());
    if (expected) {
        const std::optional<FileIdentity> now = identifyFile(path);
        if (now && *now != *expected) {
            saved.outcome = ScoreSaved::Outcome::ChangedOnDisk;
            return saved;
        }
    }
    saved.error = writeFileAtomically(path, bytes, Durability::Sync);
    if (!saved.error.empty())
        return saved;
    saved.outcome = ScoreSaved::Outcome::Written;
    saved.identity = identifyFile(path);
    return saved;
}

}  // namespace tsuzuri
