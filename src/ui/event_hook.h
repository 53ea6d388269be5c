#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

namespace tsuzuri {

// Runs a function for one type of event on one widget: the way the window
// handles press, focus, pointer-move and key events of standard controls.
// The function returns true when the control must not see the event itself.
class EventHook : public QObject {
public:
    using Handler = std::function<bool(QEvent*)>;

    // Installs a hook owned by `target`.
    static void install(QObject* target, QEvent::Type type, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventHook(QObject* target, QEvent::Type type, Handler handler);
    QEvent::Type type_;
    Handler handler_;
};

}  // namespace tsuzuri
