#include "score/glyph_catalogue.h"

#include <cstdint>

namespace tsuzuri {

namespace {

PictureSize paletteSize(int i) {
    if (i <= 7 || i == 10 || i == 11)
        return {18, 37};
    if (i == 8 || i == 9)
        return {13, 37};
    if (i == 12 || i == 13)
        return {14, 14};
    if ((i >= 14 && i <= 19) || isVolumeIndex(i))
        return {17, 16};
    if (i == 20 || i == 21)
        return {16, 16};
    if (i == 22 || i == 23)
        return {13, 25};
    if (i >= 24 && i <= 27)
        return {22, 14};
    if (i == kSharpPicture)
        return {13, 18};
    if (i == kFlatPicture)
        return {14, 19};
    if (i == kNaturalIndex)
        return {12, 21};
    if (i == kArcIndex)
        return {32, 9};
    if (i == kTripletArcIndex || i == kQuintupletArcIndex)
        return {32, 32};
    return {};  // the selection tool
}

PictureSize stemDownSize(int i) {
    if (i <= 1)
        return {15, 35};
    if (i <= 7)
        return {14, 35};
    if (i <= 11)
        return {12, 33};
    return {14, 14};
}

}  // namespace

bool isPicture(int picture) {
    return pictureSize(picture).width > 0;
}

PictureSize pictureSize(int picture) {
    if (picture >= 0 && picture < kPaletteCount)
        return paletteSize(picture);
    if (picture >= kStemDownBase && picture < kStemDownBase + kStemDownCount) {
        return stemDownSize(picture - kStemDownBase);
    }
    if (picture == kWhiteKeyPicture)
        return {25, 106};
    if (picture == kBlackKeyPicture)
        return {17, 65};
    if (picture == kKeyboardTilePicture)
        return {17, 65};
    return {};
}

int palettePicture(int i) {
    if (i < 0 || i >= kPaletteCount)
        indexFault(i, kPaletteCount);
    return i == kSelectionToolIndex ? kNoPicture : i;
}

int stemDownPicture(int i) {
    if (i < 0 || i >= kStemDownCount)
        indexFault(i, kStemDownCount);
    return kStemDownBase + i;
}

int pictureForGlyphCode(int code) {
    if (code >= 0)
        return palettePicture(code);
    if (code >= -12)
        return stemDownPicture(-code);
    return palettePicture(-code);
}

}  // namespace tsuzuri
