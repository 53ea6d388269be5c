#include "mml/mml_writer.h"

#include <array>

#include "state/tables.h"

namespace tsuzuri {

namespace {

// By written length index: "64" is 0, "32" 2 ... "2" 10; odd (dotted) indices
// never form a tuplet.
constexpr std::array<std::string_view, 12> kTripletLengths = {"96", "", "48", "", "24", "",
                                                              "12", "", "6",  "", "3",  ""};
constexpr std::array<std::string_view, 12> kQuintupletLengths = {"80", "", "40", "", "20", "",
                                                                 "10", "", "5",  "", "",   ""};

std::string_view lengthText(const MusicEvent& e) {
    return e.tuplet != 0 ? tupletLengthText(e.lengthIndex, e.tuplet)
                         : noteLengthText(e.lengthIndex);
}

// Writes a token and its space at p, which has room for kMaxTokenSize
// characters: a name of up to six, a length of up to three, a space.
class Token {
public:
    explicit Token(char* p) : p_(p), start_(p) {}
    void put(char c) { *p_++ = c; }
    void put(std::string_view s) {
        for (const char c : s)
            *p_++ = c;
    }
    void putPitch(const SpelledPitch& p) { p_ += formatPitchName(p, p_); }
    std::size_t size() const { return static_cast<std::size_t>(p_ - start_); }

private:
    char* p_;
    char* start_;
};

constexpr std::size_t kMaxTokenSize = 10;

std::size_t formatMmlToken(const MusicEvent& e, char* out) {
    Token token(out);
    switch (e.kind) {
        case EventKind::Note:
            token.putPitch(e.pitch);
            token.put(lengthText(e));
            break;
        case EventKind::Rest:
            token.put('r');
            token.put(lengthText(e));
            break;
        case EventKind::Volume:
            token.put('V');
            if (e.volume >= 10)
                token.put('1');
            token.put(static_cast<char>('0' + e.volume % 10));
            break;
        case EventKind::Link:
            token.put('&');
            break;
        case EventKind::Mark:
            break;
    }
    token.put(' ');
    return token.size();
}

}  // namespace

std::string_view tupletLengthText(int lengthIndex, int tuplet) {
    const auto& table = tuplet == 3 ? kTripletLengths : kQuintupletLengths;
    const std::string_view text = lengthIndex >= 0 && lengthIndex < static_cast<int>(table.size())
                                      ? table[static_cast<std::size_t>(lengthIndex)]
                                      : std::string_view{};
    if (text.empty())
        indexFault(lengthIndex, table.size());
    return text;
}

void appendMmlToken(std::string& out, const MusicEvent& e) {
    char token[kMaxTokenSize];
    out.append(token, formatMmlToken(e, token));
}

// The text is written into room for the longest tokens, then trimmed.
std::string writeMml(const TrackInterpretation& music) {
    std::string out;
    if (music.tempo != kStandardTempo)
        out = "T" + std::to_string(music.tempo) + " ";
    const std::size_t start = out.size();
    out.resize(start + kMaxTokenSize * music.events.size());
    char* p = out.data() + start;
    for (const MusicEvent& e : music.events)
        p += formatMmlToken(e, p);
    out.resize(static_cast<std::size_t>(p - out.data()));
    return out;
}

}  // namespace tsuzuri
