// Every event the window handles, connected in one place.
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

#include "ui/event_hook.h"
#include "ui/form1.h"
#include "ui/updown.h"
#include "view/event_codes.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

using MouseHandler = void (Form1::*)(int, int, double, double);

// A press on the button runs `handler` and the button itself never sees it,
// so it neither takes the focus nor completes a click of its own. The second
// press of a quick pair arrives as a double click and counts as a press too.
void onPress(Form1* form, QPushButton* button, MouseHandler handler) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
        EventHook::install(button, type, [form, handler](QEvent* event) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            (form->*handler)(buttonCode(mouse->button()), shiftMask(mouse->modifiers()),
                             mouse->position().x(), mouse->position().y());
            return true;
        });
    }
}

// Pointer moves over the control go to `handler` and, as for every control of
// the window, never on to the container beneath.
void onPointerMove(Form1* form, QWidget* widget, MouseHandler handler) {
    widget->setMouseTracking(true);
    widget->setAttribute(Qt::WA_NoMousePropagation);
    EventHook::install(widget, QEvent::MouseMove, [form, handler](QEvent* event) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        (form->*handler)(buttonMask(mouse->buttons()), shiftMask(mouse->modifiers()),
                         mouse->position().x(), mouse->position().y());
        return false;
    });
}

void onFocus(Form1* form, QWidget* widget, void (Form1::*handler)()) {
    EventHook::install(widget, QEvent::FocusIn, [form, handler](QEvent*) {
        (form->*handler)();
        return false;
    });
}

void onKey(Form1* form, QWidget* widget, QEvent::Type type, void (Form1::*handler)(int, int)) {
    EventHook::install(widget, type, [form, handler](QEvent* event) {
        auto* key = static_cast<QKeyEvent*>(event);
        (form->*handler)(keyCode(*key), shiftMask(key->modifiers()));
        return false;
    });
}

}  // namespace

void Form1::connectEvents() {
    // Playback
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command7, &QPushButton::clicked, this, [this] { Command7_Click(); });

    // Score canvas
    connect(Picture2, &ScoreCanvas::canvasMouseMove, this, &Form1::Picture2_MouseMove);
    connect(Picture2, &ScoreCanvas::glyphMouseDown, this, &Form1::Image4_MouseDown);
    connect(Picture2, &ScoreCanvas::glyphMouseMove, this, &Form1::Image4_MouseMove);
    connect(Picture2, &ScoreCanvas::keyDown, this, &Form1::Picture2_KeyDown);
    connect(Command17, &QPushButton::clicked, this, [this] { Command17_Click(); });

    // Key signature
    onPress(this, Command5, &Form1::Command5_MouseDown);
    onPress(this, Command6, &Form1::Command6_MouseDown);
    onFocus(this, Command5, &Form1::Command5_GotFocus);
    onFocus(this, Command6, &Form1::Command6_GotFocus);

    // Tracks, instruments and settings
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    onPointerMove(this, Command3, &Form1::Command3_MouseMove);
    onPointerMove(this, Command4, &Form1::Command4_MouseMove);
    onPointerMove(this, Slider1, &Form1::Slider1_MouseMove);
    onFocus(this, Slider1, &Form1::Slider1_GotFocus);
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo2, &QComboBox::currentIndexChanged, this, [this] { Combo2_Click(); });
    connect(UpDown1, &UpDown::changed, this, &Form1::UpDown1_Change);
    connect(UpDown3, &UpDown::changed, this, &Form1::UpDown3_Change);
    connect(UpDown4, &UpDown::changed, this, &Form1::UpDown4_Change);
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    for (int i = 0; i < kWindowTracks; ++i) {
        connect(Check3[static_cast<std::size_t>(i)], &QCheckBox::toggled, this,
                [this, i] { Check3_Click(i); });
    }

    // View navigation and palette
    onPress(this, Command12, &Form1::Command12_MouseDown);
    onPress(this, Command13, &Form1::Command13_MouseDown);
    onFocus(this, Command12, &Form1::Command12_GotFocus);
    onFocus(this, Command13, &Form1::Command13_GotFocus);
    onPointerMove(this, Command12, &Form1::Command12_MouseMove);
    onPointerMove(this, Command13, &Form1::Command13_MouseMove);
    for (int i = 0; i < kPaletteCount; ++i) {
        QPushButton* b = Command2[static_cast<std::size_t>(i)];
        connect(b, &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
        EventHook::install(b, QEvent::KeyPress, [this, i](QEvent* event) {
            auto* key = static_cast<QKeyEvent*>(event);
            Command2_KeyDown(i, keyCode(*key), shiftMask(key->modifiers()));
            return false;
        });
    }
    connect(Command16, &QPushButton::clicked, this, [this] { Command16_Click(); });
    onKey(this, Command8, QEvent::KeyPress, &Form1::Command8_KeyDown);
    onKey(this, Command8, QEvent::KeyRelease, &Form1::Command8_KeyUp);

    // MML text tools and the piano
    connect(Command15, &QPushButton::clicked, this, [this] { Command15_Click(); });
    connect(Picture1, &KeyboardPanel::keyMouseDown, this, &Form1::Image1_MouseDown);
    connect(Picture1, &KeyboardPanel::keyMouseUp, this, &Form1::Image1_MouseUp);
    connect(Picture1, &KeyboardPanel::keyDown, this, &Form1::Picture1_KeyDown);
}

}  // namespace tsuzuri
