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

void appendLength(std::string& out, const MusicEvent& e) {
    out +=
        e.tuplet != 0 ? tupletLengthText(e.lengthIndex, e.tuplet) : noteLengthText(e.lengthIndex);
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
    switch (e.kind) {
        case EventKind::Note:
            appendPitchName(out, e.pitch);
            appendLength(out, e);
            break;
        case EventKind::Rest:
            out += 'r';
            appendLength(out, e);
            break;
        case EventKind::Volume:
            out += 'V';
            out += std::to_string(e.volume);
            break;
        case EventKind::Link:
            out += '&';
            break;
        case EventKind::Mark:
            break;
    }
    out += ' ';
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
