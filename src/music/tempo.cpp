#include "music/tempo.h"

namespace tsuzuri {

std::optional<int> parseTempo(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    // Four digits are already beyond every tempo; no longer text is summed.
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    int tempo = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        tempo = 10 * tempo + (c - '0');
    }
    if (!isTempo(tempo))
        return std::nullopt;
    return tempo;
}

std::uint32_t microsecondsPerQuarter(int tempo) {
    constexpr std::uint32_t kMinute = 60'000'000;
    const auto t = static_cast<std::uint32_t>(tempo);
    return (kMinute + t / 2) / t;
}

}  // namespace tsuzuri
