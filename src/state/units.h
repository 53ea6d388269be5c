#pragma once

namespace tsuzuri {

// Image controls report pointer positions in twips, 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;

}  // namespace tsuzuri
