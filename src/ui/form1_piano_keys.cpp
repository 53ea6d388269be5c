// The 58 keys of the keyboard panel, from the lowest C to the highest A.
#include <array>

#include "ui/form1.h"
#include "view/keyboard_panel.h"

namespace tsuzuri {

namespace {

bool isBlackKey(int k) {
    const int n = k % 12;
    return n == 1 || n == 3 || n == 6 || n == 8 || n == 10;
}

// Left edges in twips of the black keys, in key order.
constexpr std::array<int, 24> kBlackKeyLefts = {
    240,  630,  1440, 1830, 2220, 2970, 3360, 4170,  4560,  4950,  5700,  6090,
    6870, 7260, 7650, 8430, 8820, 9600, 9990, 10380, 11160, 11580, 12330, 12720};

}  // namespace

void Form1::createPianoKeys() {
    int whites = 0;
    int blacks = 0;
    for (int k = 0; k < 58; ++k) {
        GlyphItem& key = Image1(k);
        key.top = 0;
        if (isBlackKey(k)) {
            key.picture = kBlackKeyPicture;
            key.left = kBlackKeyLefts[static_cast<std::size_t>(blacks++)] / 15.0;
        } else {
            key.picture = kWhiteKeyPicture;
            key.left = 390 * whites++ / 15.0;
        }
    }
}

}  // namespace tsuzuri
