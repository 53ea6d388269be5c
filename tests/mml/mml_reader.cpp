#include "mml/mml_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace tsuzuri::test {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::vector<Heard> run() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == ' ' || c == '\n' || c == '\r')
                continue;
            if (c == 'O') {
                octave_ = number(-1);
            } else if (c == '>') {
                ++octave_;
            } else if (c == '<') {
                --octave_;
            } else if (c == 'L') {
                defaultTicks_ = length();
            } else if (c == 'R') {
                heard_.push_back({true, 0, length()});
            } else if (c >= 'A' && c <= 'G') {
                const int semitone =
                    kSemitones.at(static_cast<std::size_t>(c - 'A')) + accidental();
                heard_.push_back({false, 12 * octave_ + semitone, length()});
            } else {
                ADD_FAILURE() << "unexpected '" << c << "' at " << pos_ - 1 << " in " << text_;
            }
        }
        return heard_;
    }

private:
    static constexpr std::array<int, 7> kSemitones = {9, 11, 0, 2, 4, 5, 7};

    int number(int none) {
        std::string digits;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9')
            digits += text_[pos_++];
        return digits.empty() ? none : std::stoi(digits);
    }
    int accidental() {
        int a = 0;
        while (pos_ < text_.size() &&
               (text_[pos_] == '#' || text_[pos_] == '+' || text_[pos_] == '-'))
            a += text_[pos_++] == '-' ? -1 : 1;
        return a;
    }
    int length() {
        const int n = number(0);
        if (n == 0)
            return defaultTicks_;
        int ticks = 128 / n;
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            ticks += ticks / 2;
        }
        return ticks;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int octave_ = 4;
    int defaultTicks_ = 32;
    std::vector<Heard> heard_;
};

}  // namespace

std::vector<Heard> hearMml(std::string_view text) {
    return Reader(text).run();
}

}  // namespace tsuzuri::test
