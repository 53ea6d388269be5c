#pragma once

#include <algorithm>
#include <functional>
#include <utility>

#include "ui/form1.h"

namespace tsuzuri::test {

// A recovery clock the test moves: time passes only when it says so.
class ManualClock final : public RecoveryClock {
public:
    std::int64_t now() override { return now_; }
    void wakeAt(std::int64_t when, std::function<void()> wake) override {
        when_ = when;
        wake_ = std::move(wake);
    }
    void cancel() override { wake_ = nullptr; }
    // Lets `ms` pass in steps of 10 ms, waking the window on time.
    void advance(std::int64_t ms) {
        for (const std::int64_t end = now_ + ms; now_ < end;) {
            now_ = std::min(end, now_ + 10);
            if (wake_ && now_ >= when_)
                std::exchange(wake_, nullptr)();
        }
    }

private:
    std::int64_t now_ = 0;
    std::int64_t when_ = 0;
    std::function<void()> wake_;
};

}  // namespace tsuzuri::test
