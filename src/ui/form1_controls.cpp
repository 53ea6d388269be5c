// The window's inventory: every control at its place (twips / 15 = pixels),
// in its container, with its caption, font and starting state.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <array>

#include "ui/bounded_text.h"
#include "ui/form1.h"
#include "ui/picture_icon.h"
#include "ui/updown.h"
#include "view/controls.h"
#include "view/glyph_art.h"
#include "view/keyboard_panel.h"
#include "view/measure_numbers.h"
#include "view/score_canvas.h"

namespace tsuzuri {

namespace {

constexpr int px(int twips) {
    return twips / 15;
}

// Japanese text of the symbol captions, which the window shows in place of
// the symbol font the buttons were designed with.
const QString kUpTriangle = QStringLiteral("▲");
const QString kDownTriangle = QStringLiteral("▼");
const QString kLeftTriangle = QStringLiteral("◀");
const QString kRightTriangle = QStringLiteral("▶");
const QString kPointerArrow = QStringLiteral("↖");

QFont smallGothic(int pixels = 11) {  // 11 pixels: 8.25 point at 96 dots per inch
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(pixels);
    return font;
}

template <typename W>
W* place(W* widget, const QString& name, int left, int top, int width, int height) {
    widget->setObjectName(name);
    widget->setGeometry(px(left), px(top), px(width), px(height));
    return widget;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, int l, int t, int w,
              int h) {
    auto* widget = place(new QLabel(text, parent), name, l, t, w, h);
    widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return widget;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& text, int l, int t, int w,
                    int h) {
    return place(new QPushButton(text, parent), name, l, t, w, h);
}

// Links `widget` into the window's focus chain right after `before`, together
// with the children that follow it. Qt links only widgets that take the focus,
// so `before` takes it for the moment of the linking.
void linkAfter(QWidget* before, QWidget* widget) {
    const Qt::FocusPolicy policy = before->focusPolicy();
    before->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(before, widget);
    before->setFocusPolicy(policy);
}

// Puts a text box made after the controls around it where it would be had it
// been made in its turn: under `above`, and after `before` in the tab order.
template <typename W>
W* inItsTurn(W* box, QWidget* before, QWidget* above) {
    box->stackUnder(above);
    linkAfter(before, box);
    if (box->parentWidget()->isVisible())
        box->show();
    return box;
}

QLineEdit* textBox(QWidget* parent, const QString& name, const QString& text, int l, int t, int w,
                   int h) {
    auto* box = place(new QLineEdit(text, parent), name, l, t, w, h);
    box->setTextMargins(0, 0, 0, 0);
    return box;
}

UpDown* upDown(QWidget* parent, const QString& name, int value, int maximum, int l, int t) {
    auto* spinner = place(new UpDown(parent), name, l, t, 240, 255);
    spinner->setRange(0, maximum);
    spinner->setValue(value);
    return spinner;
}

QPlainTextEdit* richText(Form1* parent, const QString& name, int l, int t, int w, int h) {
    constexpr auto maxBytes = static_cast<qsizetype>(kMaxMmlTextBytes);
    auto* box =
        place(new BoundedTextEdit(parent, maxBytes,
                                  [parent](qsizetype offered) {
                                      parent->showNotice(pasteRefusedText(offered, maxBytes));
                                  }),
              name, l, t, w, h);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    return box;
}

constexpr std::array<int, 31> kPaletteRowLefts = {
    -30,  420,  870,   1320,  1770,  2220,  2670,  3120,  3540, 3990, 4440,
    4890, 5340, 5760,  6180,  6600,  7020,  7440,  7860,  8280, 8700, 9120,
    9540, 9960, 10380, 10800, 11220, 11640, 12060, 12480, 12900};

struct Twips {
    int left, top, width, height;
};

Twips paletteButtonPlace(int i) {
    if (i <= 30)
        return {kPaletteRowLefts[static_cast<std::size_t>(i)], 2940, 465, 615};
    if (i <= 33)
        return {4440 + 420 * (i - 31), 3540, 465, 375};
    if (i == 34)
        return {6000, 3540, 705, 375};
    if (i <= 44)
        return {240 * (i - 35), 3540, 285, 375};
    return {2400 + 300 * (i - 45), 3540, 345, 375};
}

Twips stemDownImagePlace(int i) {
    return {i == 0 ? 180 : 540 + 300 * (i - 1), 4620, 0, 0};
}

}  // namespace

void Form1::createControls() {
    // Labels are drawn on the window's surface below every other control, so
    // they are made first.
    Label8 = label(this, "Label8", "Trk=", 0, 60, 975, 195);
    Label9 = label(this, "Label9", "MaxTrk", 1200, 60, 975, 195);
    Label10 = label(this, "Label10", QStringLiteral("小節"), 2460, 60, 975, 195);
    Label7 = label(this, "Label7", "Octave=", 3600, 0, 975, 255);
    Label1 = label(this, "Label1", "Tempo =", 5670, 0, 705, 195);
    // The text boxes beside these two leave them 40 and 46 pixels: the small
    // gothic keeps their captions whole.
    Label9->setFont(smallGothic());
    Label1->setFont(smallGothic());
    Label2 = label(this, "Label2", "Label2", 2280, 4020, 495, 195);
    Label3 = label(this, "Label3", "Label3", 2850, 4020, 675, 195);
    Label4 = label(this, "Label4", "Label4", 4260, 4500, 2085, 195);
    Label5 = label(this, "Label5", "Label5", 6900, 4500, 1875, 195);
    Label6 = label(this, "Label6", "Label6", 7500, 4500, 2895, 315);
    Label13 = label(this, "Label13", "", 2280, 5340, 975, 195);
    Label12 = label(this, "Label12", QStringLiteral("音符数"), 9540, 5340, 675, 195);
    Label12->setFont(smallGothic());
    Label14 = label(this, "Label14", QStringLiteral("拍子"), 11460, 60, 420, 195);
    Label15 = label(this, "Label15", "", 7020, 60, 1335, 195);
    QPalette beatsPalette = Label15->palette();
    beatsPalette.setColor(QPalette::WindowText, kMeasureNumberRed);
    Label15->setPalette(beatsPalette);
    Notice = label(this, "Notice", "", 3600, 4020, 7200, 195);
    Notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette noticePalette = Notice->palette();
    noticePalette.setColor(QPalette::WindowText, QColor(176, 0, 0));
    Notice->setPalette(noticePalette);

    // Top bar; its text boxes come with createTextBoxes.
    UpDown2 = upDown(this, "UpDown2", 1, 21, 780, 0);
    UpDown3 = upDown(this, "UpDown3", 3, 20, 2160, 0);
    UpDown1 = upDown(this, "UpDown1", 4, 8, 4560, 0);
    Combo1 = place(new QComboBox(this), "Combo1", 8400, 0, 1335, 300);
    Combo1->addItems({QStringLiteral("リュート"), QStringLiteral("マンダリン\t"),
                      QStringLiteral("ウクレレ"), QStringLiteral("フルート")});
    Combo1->setCurrentIndex(-1);
    Command18 = button(this, "Command18", "load", 10080, 0, 675, 255);
    Command18->setEnabled(false);
    Command14 = button(this, "Command14", "save", 10740, 0, 675, 255);
    Command14->setEnabled(false);
    Combo2 = place(new QComboBox(this), "Combo2", 11880, 0, 1395, 300);
    for (int i = 0; i < kMeterCount; ++i)
        Combo2->addItem(QString::fromUtf8(meterBoxEntry(i)));

    // Score area: the slider lies under the canvas and the palette row.
    Slider1 = place(new QSlider(Qt::Horizontal, this), "Slider1", 60, 2520, 13335, 495);
    Slider1->setRange(0, 4);
    Slider1->setMouseTracking(true);
    Picture2 = place(new ScoreCanvas(this), "Picture2", 180, 240, 13035, 2355);
    Command3 = button(Picture2, "Command3", kUpTriangle, 0, 0, 435, 255);
    Command4 = button(Picture2, "Command4", kDownTriangle, 0, 2040, 435, 255);
    Command12 = button(Picture2, "Command12", kLeftTriangle, 420, 2040, 435, 255);
    Command13 = button(Picture2, "Command13", kRightTriangle, 12540, 2040, 435, 255);
    for (QPushButton* b : {Command3, Command4, Command12, Command13}) {
        const QRect r = b->geometry();
        Picture2->placeChild(b, r.x(), r.y(), r.width(), r.height());
        b->setMouseTracking(true);
        b->setCursor(Qt::ArrowCursor);  // the canvas hides its own arrow
    }
    Picture2->shape1 = {9840 / 15.0, 2160 / 15.0, 1815 / 15.0, 2175 / 15.0};
    for (int i = 0; i < kImage4Count; ++i) {
        GlyphItem& item = Picture2->image4[i];
        item.picture = palettePicture(8);
        item.emptySize = i == 0 ? PictureSize{} : PictureSize{i == 1 || i == kImage4Count - 1 ? 18 : 24, 34};
    }
    Picture2->image3[0].left = px(2880);
    Picture2->image3[0].top = px(180);
    Command5 = button(this, "Command5", "", 0, 960, 195, 495);
    Command6 = button(this, "Command6", "", 0, 1440, 195, 495);
    for (auto [b, picture] :
         {std::pair{Command5, kFlatPicture}, std::pair{Command6, kSharpPicture}}) {
        const PictureSize size = pictureSize(picture);
        b->setIcon(pictureIcon(picture));
        b->setIconSize(QSize(size.width, size.height));
    }

    // Palette and tool rows.
    for (int i = 0; i < kPaletteCount; ++i) {
        const Twips where = paletteButtonPlace(i);
        auto* b = button(this, QStringLiteral("Command2(%1)").arg(i), "", where.left, where.top,
                         where.width, where.height);
        const int picture = palettePicture(i);
        if (picture == kNoPicture) {
            b->setText(kPointerArrow);
        } else {
            const PictureSize size = pictureSize(picture);
            b->setIcon(pictureIcon(picture));
            b->setIconSize(QSize(size.width, size.height));
        }
        Command2[static_cast<std::size_t>(i)] = b;
    }
    Command17 = button(this, "Command17", QStringLiteral("×"), 6780, 3540, 375, 375);
    setBackColor(Command17, 0x8080FF);
    Frame1 = place(new QFrame(this), "Frame1", 0, 3840, 2235, 435);
    Frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Command1 = button(Frame1, "Command1", QStringLiteral("trk♪"), 60, 120, 555, 255);
    Command7 = button(Frame1, "Command7", QStringLiteral("all♪"), 660, 120, 495, 255);
    Command10 = button(Frame1, "Command10", QStringLiteral("♪4"), 1200, 120, 495, 255);
    Command11 = button(Frame1, "Command11", QStringLiteral("♪4a"), 1740, 120, 495, 255);
    for (int i = 0; i < kWindowTracks; ++i) {
        auto* box = place(new QCheckBox(QStringLiteral("Check3"), this),
                          QStringLiteral("Check3(%1)").arg(i), 10920 + 240 * (i % 10),
                          i < 10 ? 3900 : 4080, 195, 195);
        QPalette palette = box->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        box->setPalette(palette);
        if (i < 3)
            box->setCheckState(Qt::Checked);
        if (i >= 16) {
            box->setTristate(true);
            box->setCheckState(Qt::PartiallyChecked);
            box->setEnabled(false);
        }
        Check3[static_cast<std::size_t>(i)] = box;
    }

    // Text area: the MML boxes, and the buttons that lie on top of them.
    for (int i = 0; i < 20; ++i) {
        GlyphItem& item = image2_[i];
        const Twips where = stemDownImagePlace(i);
        item.left = px(where.left);
        item.top = px(where.top);
        item.picture = i < kStemDownCount ? stemDownPicture(i) : kNoPicture;
        item.emptySize = {21, 21};
    }
    // Text1 and Text2 come with createTextBoxes.
    Command8 = button(this, "Command8", "Command8", 3480, 4380, 675, 255);
    Command9 = button(this, "Command9", "Command9", 6360, 4440, 495, 315);
    setBackColor(Command9, 0xABABAB);  // the application-workspace grey
    Command15 = button(this, "Command15", QStringLiteral("↓optimize"), 0, 5340, 855, 195);
    Command15->setFont(smallGothic(10));  // "↓optimize" in its 57 x 13 pixel button
    Check2 = place(new QCheckBox(QStringLiteral("倍速"), this), "Check2", 900, 5340, 735, 195);
    UpDown4 = upDown(this, "UpDown4", 8, 20, 10380, 5340);
    Command16 = button(this, "Command16", QStringLiteral("鍵盤入力"), 10740, 5340, 1095, 195);
    Command16->setFont(smallGothic());
    Check1 = place(new QCheckBox(QStringLiteral("音長同時入力"), this), "Check1", 11880, 5340, 1335,
                   255);
    Check1->setFont(smallGothic());
    Check1->setChecked(true);

    // Keyboard panel, below the design area of the window.
    Picture1 = place(new KeyboardPanel(this), "Picture1", 0, 6240, 13215, 1635);
    createPianoKeys();
    const std::array<std::array<int, 4>, 6> lines = {{{30, 1440, 12900, 1440},
                                                      {30, 1200, 12900, 1200},
                                                      {30, 960, 12900, 960},
                                                      {30, 720, 12900, 720},
                                                      {-60, 420, 12810, 420},
                                                      {0, 120, 12870, 120}}};
    for (int i = 0; i < 6; ++i) {
        const auto& l = lines[static_cast<std::size_t>(i)];
        Picture1->lines[i] = {l[0] / 15.0, l[1] / 15.0, l[2] / 15.0, l[3] / 15.0, true};
    }
}

// The number boxes of the top bar and the read-out line, the instrument box's
// entry and the MML text boxes. Laying out their text is the first thing that
// needs the font database, which takes longer to load than the rest of the
// window takes to make; a window made for the program's start makes them once
// its map request has gone to the screen, before its first paint.
void Form1::createTextBoxes() {
    const auto number = [](const UpDown* spinner) { return QString::number(spinner->value()); };
    Text5 = inItsTurn(textBox(this, "Text5", number(UpDown2), 420, 0, 375, 225), Notice, UpDown2);
    Text6 = inItsTurn(textBox(this, "Text6", number(UpDown3), 1800, 0, 375, 225), Text5, UpDown3);
    Text3 = inItsTurn(textBox(this, "Text3", number(UpDown1), 4320, 0, 255, 225), Text6, UpDown1);
    Text4 = inItsTurn(
        textBox(this, "Text4", QString::number(state().piece.tempo), 6360, 0, 585, 225), Text3,
        Combo1);
    // The instrument box's entry, a child made by setEditable, is linked at
    // the chain's end; the box goes there first, so that it comes back after
    // Text4 with its entry right behind it.
    linkAfter(previousInFocusChain(), Combo1);
    Combo1->setEditable(true);
    linkAfter(Text4, Combo1);
    Text1 = inItsTurn(richText(this, "Text1", 0, 4260, 13275, 1095), Check3[kWindowTracks - 1],
                      Command8);
    Text2 = inItsTurn(richText(this, "Text2", 0, 5520, 13275, 735), Text1, Command8);
    Text7 = inItsTurn(textBox(this, "Text7", number(UpDown4), 10080, 5340, 315, 210), Check2,
                      UpDown4);
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { Combo1_Change(); });
    connect(Text3, &QLineEdit::textChanged, this, [this] { Text3_Change(); });
    connect(Text4, &QLineEdit::editingFinished, this, [this] { Text4_Confirm(); });
    // Editing the MML text changes the piece. The program writes it with its
    // signals blocked: what arrives here is the user's typing.
    connect(Text1, &QPlainTextEdit::textChanged, this, [this] {
        text1Typed_ = true;
        changedOutsideHistory();
    });
    connectText1Reading();
}

}  // namespace tsuzuri
