#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

namespace tsuzuri {

// When the next recovery copy is due: a short pause after the last change, so
// that a run of edits is written once, but never later than a bound after the
// first change that no copy holds yet, so that steady editing is copied too.
// Times are milliseconds of one steady clock.
class RecoverySchedule {
public:
    static constexpr std::int64_t kPauseMs = 1500;
    static constexpr std::int64_t kLatestMs = 5000;

    // The piece changed at `now`.
    void changed(std::int64_t now) {
        if (!firstPending_)
            firstPending_ = now;
        lastChange_ = now;
    }
    // A copy holds every change so far, or nothing needs one.
    void clear() { firstPending_.reset(); }
    // When the copy is due, while changes wait for one.
    std::optional<std::int64_t> due() const {
        if (!firstPending_)
            return std::nullopt;
        return std::min(lastChange_ + kPauseMs, *firstPending_ + kLatestMs);
    }

private:
    std::optional<std::int64_t> firstPending_;
    std::int64_t lastChange_ = 0;
};

}  // namespace tsuzuri
