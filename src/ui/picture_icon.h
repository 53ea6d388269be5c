#pragma once

#include <QIcon>

namespace tsuzuri {

// The icon of a button that shows one of the window's pictures. The picture
// is drawn when the button is first painted, at the ratio of the screen it is
// painted on, rather than when the window is built: the palette's pictures
// would otherwise be drawn, and three more font files opened, before the
// window could be shown.
QIcon pictureIcon(int picture);

}  // namespace tsuzuri
