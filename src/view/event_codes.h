#pragma once

#include <Qt>

#include "state/units.h"

class QKeyEvent;

namespace tsuzuri {

// Translations from Qt's events to the codes the handlers take.
int buttonCode(Qt::MouseButton button);          // 1 left, 2 right, 4 middle, 0 other
int buttonMask(Qt::MouseButtons buttons);        // the codes of the held buttons, added
int shiftMask(Qt::KeyboardModifiers modifiers);  // 1 Shift, 2 Ctrl, 4 Alt, added
int keyCode(const QKeyEvent& event);             // virtual key code (27 Escape, 37..40 arrows ...)

}  // namespace tsuzuri
