#include "ui/form1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUndoStack>

#include "score/canvas_geometry.h"
#include "state/tables.h"
#include "ui/updown.h"
#include "view/event_codes.h"
#include "view/glyph_art.h"
#include "view/keyboard_panel.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

QColor colorOf(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// The window's Japanese gothic font, 9 point at 96 dots per inch; controls that
// ask for the designer's proportional gothic get the same family.
void useJapaneseFonts() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
}

}  // namespace

Form1::Form1(Sequencer& sequencer, std::filesystem::path dataDir, QWidget* parent)
    : QWidget(parent),
      state_(std::make_unique<EditorState>()),
      sequencer_(sequencer),
      dataDir_(std::move(dataDir)),
      recoveryDir_(dataDir_ / "recovery"),
      documentsDir_(
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString()) {
    setObjectName("Form1");
    useJapaneseFonts();
    QFont font(QStringLiteral("IPAPGothic"));
    font.setPixelSize(12);
    setFont(font);
    resize(889, 416);
    setMouseTracking(true);
    createControls();
    connectEvents();
    createFileActions();
    createUndo();
    // Start-up's own settings are the empty piece, not a change of it.
    replay([this] { Form_Load(); });
    markSaved();
    recoveryTimer_->stop();
    updateCaption();
}

// The history goes before the window's members: what it tells on its way out
// must not reach them.
Form1::~Form1() {
    undoStack_->disconnect();
    delete undoStack_;
}

void Form1::Form_Load() {
    EditorState& s = state();
    init(s);
    for (int i = 0; i < 82; ++i)
        Image4(i).top = kHiddenNoteTop;
    nt_init(s, UpDown1->value());
    Shape1().top = 500;
    s.paletteIndex = 8;
    s.stemDir = 1;
    setEveryLastMeasure(s, kStartLastMeasure);
    s.trackCount = 3;
    Combo1->setCurrentIndex(0);
    setEveryProgram(s, kStartProgram);
    buildNoteNames(s);
    s.curLength = 8;
    setBackColor(Command2[8], kWhite);
}

GlyphItem& Form1::Image4(int i) {
    return Picture2->image4[i];
}
GlyphItem& Form1::Image3(int i) {
    return Picture2->image3[i];
}
GlyphItem& Form1::Image1(int i) {
    return Picture1->image1[i];
}
GlyphItem& Form1::Image2(int i) {
    return image2_[i];
}
ShapeItem& Form1::Shape1() {
    return Picture2->shape1;
}

void Form1::hideCursorGlyph() {
    Image4(0).top = kHiddenCursorTop;
    Picture2->update();
}

// The notice stands in the free strip of the read-out line, right of the
// pointer read-outs, and goes away by itself after a few seconds.
void Form1::showNotice(const QString& text) {
    Notice->setText(text);
    const int shown = ++noticeCount_;
    QTimer::singleShot(kNoticeMilliseconds, this, [this, shown] {
        if (shown == noticeCount_)
            Notice->clear();
    });
}

void Form1::setSoundStatus(SoundStatus status) {
    soundStatus_ = status;
    updateCaption();
}

void Form1::setBackColor(QPushButton* button, std::uint32_t bgr) {
    button->setProperty("backColor", QVariant::fromValue(bgr));
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, bgr == kButtonFace
                                           ? QApplication::palette().color(QPalette::Button)
                                           : colorOf(bgr));
    button->setPalette(palette);
}

std::uint32_t Form1::backColor(const QPushButton* button) {
    const QVariant value = button->property("backColor");
    return value.isValid() ? value.value<std::uint32_t>() : kButtonFace;
}

// Image2 lies on the window's own surface (under the text box).
void Form1::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (const GlyphItem& item : image2_)
        drawGlyphItem(p, item, devicePixelRatioF());
}

int Form1::image2At(double x, double y) const {
    for (int i = 19; i >= 0; --i) {
        if (image2_[i].contains(x, y))
            return i;
    }
    return -1;
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    Form_MouseMove(buttonMask(event->buttons()), shiftMask(event->modifiers()),
                   event->position().x(), event->position().y());
}

void Form1::mousePressEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    pressedImage2_ = image2At(pos.x(), pos.y());
    if (pressedImage2_ < 0)
        return;
    const GlyphItem& item = image2_[pressedImage2_];
    Image2_MouseDown(pressedImage2_, buttonCode(event->button()), shiftMask(event->modifiers()),
                     (pos.x() - item.left) * kTwipsPerPixel, (pos.y() - item.top) * kTwipsPerPixel);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (pressedImage2_ < 0)
        return;
    const int index = pressedImage2_;
    pressedImage2_ = -1;
    const QPointF pos = event->position();
    const GlyphItem& item = image2_[index];
    Image2_MouseUp(index, buttonCode(event->button()), shiftMask(event->modifiers()),
                   (pos.x() - item.left) * kTwipsPerPixel, (pos.y() - item.top) * kTwipsPerPixel);
}

}  // namespace tsuzuri
