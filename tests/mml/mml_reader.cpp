#include "mml/mml_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace tsuzuri::test {

namespace {

constexpr long kWhole = 1920;  // fifteenths of a tick in a whole note

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    HeardMml run() {
        while (pos_ < text_.size()) {
            const char c = upper(text_[pos_++]);
            if (c == ' ' || c == '\n' || c == '\r' || c == '\t')
                continue;
            if (c == 'O') {
                octave_ = number(-1);
            } else if (c == '>') {
                ++octave_;
            } else if (c == '<') {
                --octave_;
            } else if (c == 'L') {
                defaultLength_ = length();
            } else if (c == 'T') {
                out_.tempo = number(-1);
            } else if (c == 'V') {
                velocity_ = 8 * number(-1);
            } else if (c == '&') {
                if (out_.heard.empty() || out_.heard.back().rest)
                    ADD_FAILURE() << "'&' after no note at " << pos_ - 1 << " in " << text_;
                else
                    out_.heard.back().joined = true;
            } else if (c == 'R') {
                out_.heard.push_back({true, 0, length(), 0, false});
            } else if (c >= 'A' && c <= 'G') {
                const int semitone =
                    kSemitones.at(static_cast<std::size_t>(c - 'A')) + accidental();
                out_.heard.push_back({false, 12 * (octave_ + 1) + semitone, length(), velocity_});
            } else {
                ADD_FAILURE() << "unexpected '" << c << "' at " << pos_ - 1 << " in " << text_;
            }
        }
        return out_;
    }

private:
    static constexpr std::array<int, 7> kSemitones = {9, 11, 0, 2, 4, 5, 7};

    static char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

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
    long length() {
        const int n = number(0);
        long length = defaultLength_;
        if (n != 0) {
            if (kWhole % n != 0)
                ADD_FAILURE() << "length " << n << " at " << pos_ << " in " << text_;
            length = kWhole / n;
        }
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            length += length / 2;
        }
        return length;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int octave_ = 4;
    long defaultLength_ = kWhole / 4;
    int velocity_ = 64;
    HeardMml out_;
};

long nearestTick(long fifteenths) {
    return (fifteenths + 7) / 15;
}

}  // namespace

HeardMml hearMml(std::string_view text) {
    return Reader(text).run();
}

std::vector<Played> playedNotes(const HeardMml& mml) {
    struct Open {
        long start, end;
        int key, velocity;
    };
    std::vector<Open> notes;
    long time = 0;
    bool joining = false;
    for (const Heard& h : mml.heard) {
        if (!h.rest) {
            if (joining && notes.back().key == h.key)
                notes.back().end = time + h.length;
            else
                notes.push_back({time, time + h.length, h.key, h.velocity});
        }
        joining = h.joined;
        time += h.length;
    }
    std::vector<Played> played;
    for (const Open& n : notes) {
        if (n.velocity > 0)
            played.push_back({nearestTick(n.start), nearestTick(n.end), n.key, n.velocity});
    }
    return played;
}

}  // namespace tsuzuri::test
