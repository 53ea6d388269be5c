// The 58 keys of the keyboard panel, from the lowest C to the highest A.
#include "mml/piano.h"
#include "ui/form1.h"
#include "view/keyboard_panel.h"

namespace tsuzuri {

void Form1::createPianoKeys() {
    for (int k = 0; k < kPianoKeyCount; ++k) {
        const KeyRect rect = keyRect(k);
        GlyphItem& key = Image1(k);
        key.left = static_cast<double>(rect.left) / kTwipsPerPixel;
        key.top = static_cast<double>(rect.top) / kTwipsPerPixel;
        key.picture = isBlackKey(k) ? kBlackKeyPicture : kWhiteKeyPicture;
    }
}

}  // namespace tsuzuri
