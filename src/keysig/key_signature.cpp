#include "keysig/key_signature.h"

#include "state/tables.h"

namespace tsuzuri {

const std::array<Accidental, 7>& flatOrder() {
    static const std::array<Accidental, 7> order = {{{"B-", 6, 27, 43, 27, 99},
                                                     {"E-", 2, 32, 31, 32, 87},
                                                     {"A-", 5, 36, 47, 36, 103},
                                                     {"D-", 1, 43, 35, 43, 91},
                                                     {"G-", 4, 48, 51, 48, 107},
                                                     {"C-", 0, 53, 39, 53, 95},
                                                     {"F-", 3, 58, 55, 58, 111}}};
    return order;
}

// Every bass sign stands two octaves (56 pixels) below its treble partner;
// the first sharp too, on the bass F line (y 96).
const std::array<Accidental, 7>& sharpOrder() {
    static const std::array<Accidental, 7> order = {{{"F#", 3, 26, 32, 26, 88},
                                                     {"C#", 0, 31, 44, 31, 100},
                                                     {"G#", 4, 36, 28, 36, 84},
                                                     {"D#", 1, 41, 40, 41, 96},
                                                     {"A#", 5, 46, 52, 46, 108},
                                                     {"E#", 2, 51, 36, 51, 92},
                                                     {"B#", 6, 56, 48, 56, 104}}};
    return order;
}

int afterFlatPress(int keySignature) {
    return keySignature > 0 ? 0 : (keySignature - 1) % 8;
}

int afterSharpPress(int keySignature) {
    return keySignature < 0 ? 0 : (keySignature + 1) % 8;
}

void reptable(EditorState& s, int degree, const std::string& name, int delta, int octave) {
    reptable(s.tables, degree, name, delta, octave);
}

void reptable(NoteTables& tables, int degree, const std::string& name, int delta, int octave) {
    for (int o = 0; o <= 7; ++o) {
        const int row = 7 * o + degree;
        tables.rowNames[row] = "O" + std::to_string(rowOctave(row, octave) - 1) + name;
        tables.rowMidi[row] = static_cast<std::uint8_t>(tables.rowMidi[row] + delta);
    }
}

void applyKeySignatureRows(EditorState& s, int keySignature, int octave) {
    applyKeySignatureRows(s.tables, keySignature, octave);
}

void applyKeySignatureRows(NoteTables& tables, int keySignature, int octave) {
    const bool flats = keySignature < 0;
    const int count = flats ? -keySignature : keySignature;
    const auto& order = flats ? flatOrder() : sharpOrder();
    for (int k = 0; k < count; ++k) {
        const Accidental& a = order[static_cast<std::size_t>(k)];
        reptable(tables, a.degree, a.name, flats ? -1 : 1, octave);
    }
}

}  // namespace tsuzuri
