#include "mml/optimizer.h"

#include <algorithm>
#include <cstdint>

#include "mml/length_letters.h"
#include "state/spaced.h"
#include "state/table.h"

namespace tsuzuri {

namespace {

constexpr int kQuarter = 8;      // length entry of "4", the player's own default
constexpr int kStartOctave = 4;  // the player's default octave

using LengthCounts = Table<std::int64_t, kNoteLengthCount>;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Uppercases ASCII letters and drops the plain space; every other character,
// full-width spaces and line breaks too, stays.
std::string prepare(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == ' ')
            continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

// Characters saved when length entry n becomes the default: the length text's size.
int lengthWeight(int n) {
    return 1 + (n % 2 == 1 ? 1 : 0) + (n < 6 ? 1 : 0);
}

LengthCounts countLengths(std::string_view lettered) {
    LengthCounts counts{};
    for (const char c : lettered) {
        if (c >= 'a' && c < 'a' + kNoteLengthCount) {
            const int n = c - 'a';
            counts[n] += lengthWeight(n);
        }
    }
    return counts;
}

// The entry with the largest count; the lowest entry wins a tie.
int bestLength(const LengthCounts& counts) {
    int best = 0;
    for (int n = 1; n < kNoteLengthCount; ++n) {
        if (counts[n] > counts[best])
            best = n;
    }
    return best;
}

// Declares the best length as the default when it saves more than dropping the
// quarter lengths, which the player takes as its default anyway.
std::string applyDefaultLength(std::string lettered) {
    const LengthCounts counts = countLengths(lettered);
    const int best = bestLength(counts);
    if (counts[best] > counts[kQuarter]) {
        std::erase(lettered, lengthLetter(best));
        std::string declared = "L";
        declared += noteLengthText(best);
        return declared + lettered;
    }
    std::erase(lettered, lengthLetter(kQuarter));
    return lettered;
}

// Takes out every "L" with a length and writes the length then in force (the
// quarter note before any "L") after every note and rest written without
// one, so that the default length chosen later is the only one in the text.
std::string spellOutLengths(std::string_view lettered, bool doubleLength) {
    std::string out;
    out.reserve(lettered.size() + lettered.size() / 2);
    // The length in force: one of the fourteen, written lettered, or any
    // other number (a tuplet length), copied as it stands.
    int inForce = kQuarter;
    std::string_view otherLength;
    for (std::size_t i = 0; i < lettered.size();) {
        const char c = lettered[i];
        if (c == 'L' && i + 1 < lettered.size() && isDigit(lettered[i + 1])) {
            const std::size_t end = lengthEnd(lettered, i + 1);
            otherLength = lettered.substr(i + 1, end - i - 1);
            inForce = lengthEntry(otherLength);
            i = end;
            continue;
        }
        const std::size_t start = lengthStart(lettered, i);
        if (start == i) {
            out += c;
            ++i;
            continue;
        }
        const std::string_view head = lettered.substr(i, start - i);
        out.append(head);
        const bool written = start < lettered.size() &&
                             (isLengthLetter(lettered[start]) || isDigit(lettered[start]));
        if (!written && inForce >= 0)
            appendLengthLetter(out, head, inForce, doubleLength);
        else if (!written)
            out.append(otherLength);
        i = start;
    }
    return out;
}

// Replaces octave commands one above or below the running octave by ">" and
// "<" and drops those equal to it; ">" and "<" in the text move the running
// octave too. An "O" without a number after it is no octave command: it is
// copied and the running octave stays.
std::string relativeOctaves(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    int octave = kStartOctave;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '>' || c == '<')
            octave += c == '>' ? 1 : -1;
        if (c != 'O' || i + 1 == text.size() || !isDigit(text[i + 1])) {
            out += c;
            continue;
        }
        std::size_t end = i + 1;
        int d = 0;
        for (; end < text.size() && isDigit(text[end]); ++end)
            d = std::min(10 * d + (text[end] - '0'), 1000);
        if (d == octave + 1) {
            out += '>';
        } else if (d == octave - 1) {
            out += '<';
        } else if (d != octave) {
            out.append(text.substr(i, end - i));
        }
        octave = d;
        i = end - 1;
    }
    return out;
}

}  // namespace

OptimizedMml optimizeMml(std::string_view text, bool doubleLength) {
    std::string lettered = spellOutLengths(enletter(prepare(text), doubleLength), doubleLength);
    lettered = relativeOctaves(applyDefaultLength(std::move(lettered)));
    OptimizedMml result;
    result.text = deletter(lettered);
    result.characters = countCharacters(result.text);
    return result;
}

std::size_t countCharacters(std::string_view utf8) {
    // Every code point has exactly one byte that is not a continuation byte.
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string lengthCaption(std::size_t characters) {
    return spaced(static_cast<long>(characters)) + "文字";
}

}  // namespace tsuzuri
