#include "view/controls.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "score/canvas_geometry.h"

namespace tsuzuri {

std::optional<int> instrumentEntry(int program) {
    for (std::size_t i = 0; i < kInstrumentPrograms.size(); ++i) {
        if (kInstrumentPrograms[i] == program)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string_view meterBoxEntry(int entry) {
    return meterAt(entry).free() ? "自由" : meterNameAt(entry);
}

int previousTrack(int curTrack, int trackCount) {
    const int count = std::max(trackCount, 1);
    return (curTrack + count - 1) % count;
}

int nextTrack(int curTrack, int trackCount) {
    const int count = std::max(trackCount, 1);
    return curTrack < count - 1 ? curTrack + 1 : curTrack;
}

double leadingNumber(const std::string& text) {
    std::string number;
    bool digits = false;
    bool point = false;
    bool exponent = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        const bool empty = number.empty();
        const char last = empty ? '\0' : number.back();
        if ((c == '+' || c == '-') && (empty || last == 'e')) {
            number += c;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            number += c;
            digits = true;
        } else if (c == '.' && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    while (!number.empty() && !std::isdigit(static_cast<unsigned char>(number.back())))
        number.pop_back();
    if (!digits || number.empty())
        return 0;
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : (value > 0 ? 1e308 : -1e308);
}

int octaveSettingFromText(const std::string& text) {
    const double rounded = std::nearbyint(leadingNumber(text));
    return static_cast<int>(std::clamp(rounded, 0.0, 8.0));
}

int scrolledBack(int firstMeasure) {
    return firstMeasure > 0 ? firstMeasure - 1 : 0;
}

int scrolledOn(int firstMeasure) {
    return std::min(firstMeasure + 1, kLastFirstMeasure);
}

}  // namespace tsuzuri
