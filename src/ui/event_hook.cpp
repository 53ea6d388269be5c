#include "ui/event_hook.h"

namespace tsuzuri {

EventHook::EventHook(QObject* target, QEvent::Type type, Handler handler)
    : QObject(target), type_(type), handler_(std::move(handler)) {}

void EventHook::install(QObject* target, QEvent::Type type, Handler handler) {
    target->installEventFilter(new EventHook(target, type, std::move(handler)));
}

bool EventHook::eventFilter(QObject*, QEvent* event) {
    return event->type() == type_ && handler_(event);
}

}  // namespace tsuzuri
