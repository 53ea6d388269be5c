#pragma once

#include <Qt>

#include "state/units.h"

class QKeyEvent;

namespace tsuzuri {

// Mouse button codes and shift masks as the handlers receive them.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

// Translations from Qt's events to the codes the handlers take.
int buttonCode(Qt::MouseButton button);          // one button's code, 0 for others
int buttonMask(Qt::MouseButtons buttons);        // the codes of the held buttons, added
int shiftMask(Qt::KeyboardModifiers modifiers);  // the masks of the held modifiers, added
int keyCode(const QKeyEvent& event);             // virtual key code (27 Escape, 37..40 arrows ...)

}  // namespace tsuzuri
