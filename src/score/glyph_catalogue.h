#pragma once

#include "state/palette_index.h"
#include "state/table.h"

namespace tsuzuri {

// Picture identifiers. A picture is one of the window's design images; glyph
// elements refer to it by number and share it, nothing is copied.
//   0..50      the pictures of the palette buttons Command2(i) (34 has none)
//   100..113   the stem-down note pictures of Image2(0..13)
//   200, 201   the white and the black piano key
//   202        the keyboard panel's background tile
inline constexpr int kNoPicture = -1;
inline constexpr int kStemDownBase = 100;
inline constexpr int kStemDownCount = 14;
inline constexpr int kWhiteKeyPicture = 200;
inline constexpr int kBlackKeyPicture = 201;
inline constexpr int kKeyboardTilePicture = 202;
inline constexpr int kSharpPicture = kSharpIndex;
inline constexpr int kFlatPicture = kFlatIndex;

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The design size of a picture in pixels; {0, 0} for kNoPicture and for
// numbers that name no picture.
PictureSize pictureSize(int picture);

// True when `picture` names one of the design pictures.
bool isPicture(int picture);

// The picture of Command2(i) and of Image2(i).
int palettePicture(int i);
int stemDownPicture(int i);

// The picture a glyph element shows for signed glyph code c: the palette
// picture for c >= 0, the stem-down picture for -12 <= c <= -1, the palette
// picture of -c below that.
int pictureForGlyphCode(int code);

}  // namespace tsuzuri
