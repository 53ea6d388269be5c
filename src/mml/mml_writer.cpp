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

// Appends a token and its space in one piece: tokens are a few characters.
class Token {
public:
    void put(char c) { text_[size_++] = c; }
    void put(std::string_view s) {
        s.copy(text_ + size_, s.size());
        size_ += s.size();
    }
    void putPitch(const SpelledPitch& p) { size_ += formatPitchName(p, text_ + size_); }
    void appendTo(std::string& out) const { out.append(text_, size_); }

private:
    char text_[kPitchNameRoom + 8];  // a name, a length of up to three characters, a space
    std::size_t size_ = 0;
};

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
    Token token;
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
    token.appendTo(out);
}

std::string writeMml(const TrackInterpretation& music) {
    std::string out;
    out.reserve(8 * music.events.size());
    if (music.tempo != kStandardTempo)
        out += "T" + std::to_string(music.tempo) + " ";
    for (const MusicEvent& e : music.events)
        appendMmlToken(out, e);
    return out;
}

}  // namespace tsuzuri
