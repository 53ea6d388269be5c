#include "music/staff_rows.h"

#include <cstdlib>

#include "music/marks.h"

namespace tsuzuri {

namespace {

constexpr const char* kLetters = "CDEFGAB";

int letterIndex(char c) {
    for (int i = 0; i < 7; ++i) {
        if (kLetters[i] == c)
            return i;
    }
    return -1;
}

// Reads a row's name, "O" + octave digits + letter + an optional sign, into
// its natural spelling and the key signature's sign; a row whose name is not
// of that form has no name.
StaffRow readRow(const std::string& name, std::uint8_t key) {
    StaffRow row;
    row.keyKey = key;
    row.natural.key = key;
    std::size_t i = 1;
    int octave = 0;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && octave < 100)
        octave = 10 * octave + (name[i++] - '0');
    if (name.size() < 3 || name[0] != 'O' || i == 1 || i >= name.size())
        return row;
    const int letter = letterIndex(name[i]);
    if (letter < 0)
        return row;
    const char sign = i + 1 < name.size() ? name[i + 1] : '\0';
    row.keySign = static_cast<std::int8_t>(sign == '#' ? 1 : sign == '-' ? -1 : 0);
    row.natural = {static_cast<std::uint8_t>(key - row.keySign), static_cast<std::int8_t>(octave),
                   static_cast<std::int8_t>(letter), 0};
    return row;
}

}  // namespace

std::size_t formatPitchName(const SpelledPitch& p, char* out) {
    if (p.octave < 0)
        return 0;
    std::size_t n = 0;
    out[n++] = 'O';
    if (p.octave >= 100)
        out[n++] = static_cast<char>('0' + p.octave / 100);
    if (p.octave >= 10)
        out[n++] = static_cast<char>('0' + p.octave / 10 % 10);
    out[n++] = static_cast<char>('0' + p.octave % 10);
    out[n++] = kLetters[p.letter];
    if (p.sign != 0)
        out[n++] = p.sign > 0 ? '#' : '-';
    return n;
}

StaffRows staffRowsFrom(const Table<std::string, kRowCount>& rowNames,
                        const Table<std::uint8_t, kRowCount>& rowMidi) {
    StaffRows rows;
    for (int r = 0; r < kRowCount; ++r)
        rows.rows[r] = readRow(rowNames[r], rowMidi[r]);
    return rows;
}

SpelledPitch rowPitch(const StaffRows& rows, int row, int sign) {
    const StaffRow& r = rows[row];
    SpelledPitch p = r.natural;
    if (p.octave < 0)
        return p;
    p.sign = static_cast<std::int8_t>(sign);
    p.key = sign == r.keySign ? r.keyKey : static_cast<std::uint8_t>(r.natural.key + sign);
    return p;
}

int signInForce(const Measure& measure, int slot, int row, const StaffRows& rows) {
    for (int s = slot - 1; s >= 0; --s) {
        const int index = std::abs(measure.noteAttr[s][kAttrCode]);
        if (slotKind(index) == SlotKind::Accidental && measure.noteRow[s] == row)
            return accidentalSign(index);
    }
    return rows[row].keySign;
}

}  // namespace tsuzuri
