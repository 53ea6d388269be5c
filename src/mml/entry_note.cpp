#include "mml/entry_note.h"

#include <string>

#include "mml/length_letters.h"

namespace tsuzuri {

int entryPitch(const EntryNote& note) {
    static constexpr int kSemitones[7] = {0, 2, 4, 5, 7, 9, 11};
    return 12 * (note.octave + 1) + kSemitones[note.letter] + note.accidental;
}

std::optional<EntryNote> parseEntryNote(std::string_view text) {
    if (text.size() < 3 || text[0] != 'O')
        return std::nullopt;
    if (text[1] < '0' || text[1] > '9' || text[2] < 'A' || text[2] > 'G')
        return std::nullopt;
    EntryNote note;
    note.octave = text[1] - '0';
    note.letter = (text[2] - 'C' + 7) % 7;
    if (text.find('#') != std::string_view::npos)
        note.accidental = 1;
    if (text.find('-') != std::string_view::npos)
        note.accidental = -1;
    note.dotted = text.find('.') != std::string_view::npos;
    note.step = 7 * note.octave + note.letter;

    // The length digits follow the pitch name; with a dot the text's last
    // character is taken for it.
    const std::size_t from = 3 + static_cast<std::size_t>(note.accidental != 0 ? 1 : 0);
    std::string length(from < text.size() ? text.substr(from) : std::string_view{});
    if (note.dotted && !length.empty())
        length.pop_back();
    if (note.dotted)
        length += '.';
    note.lengthIndex = lengthEntry(length);
    return note;
}

}  // namespace tsuzuri
