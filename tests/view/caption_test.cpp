// Every caption of the window fits its control: the text's width in the
// control's own font against the room the control leaves for text.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "support/form_fixture.h"

namespace tsuzuri {
namespace {

using CaptionTest = test::FormTest;

// The width a control leaves for its caption, and the caption's width.
struct Fit {
    QString name;
    QString text;
    int room = 0;
    int width = 0;
};

std::vector<Fit> captions(QWidget* window) {
    std::vector<Fit> fits;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        QString text;
        int room = w->width();
        if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable()) {
            // Every entry of a list box in the field its arrow leaves.
            QStyleOptionComboBox option;
            option.initFrom(c);
            const int field =
                c->style()
                    ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c)
                    .width();
            for (int i = 0; i < c->count(); ++i)
                fits.push_back({c->objectName(), c->itemText(i), field,
                                c->fontMetrics().horizontalAdvance(c->itemText(i))});
            continue;
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            text = b->text();
            room -= 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) / 3 + 2;
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            text = c->text();
            room -= w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                    w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        } else if (auto* l = qobject_cast<QLabel*>(w)) {
            // A label lies below the boxes beside it: its text ends where the
            // first box that overlaps it begins.
            text = l->text();
            for (QWidget* other : w->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (other != w && !qobject_cast<QLabel*>(other) && other->isVisible() &&
                    other->geometry().contains(QPoint(other->x(), w->geometry().center().y())) &&
                    other->x() > w->x() && other->x() < w->x() + w->width())
                    room = std::min(room, other->x() - w->x());
            }
        }
        // The track boxes' caption is clipped by design; the read-out labels
        // start with their own names and are rewritten at once.
        if (text.isEmpty() || w->objectName().startsWith("Check3") ||
            text == w->objectName())
            continue;
        fits.push_back({w->objectName(), text, room, w->fontMetrics().horizontalAdvance(text)});
    }
    return fits;
}

TEST_F(CaptionTest, EveryCaptionFitsItsControl) {
    const std::vector<Fit> fits = captions(form.get());
    ASSERT_GT(fits.size(), 20u);
    for (const Fit& f : fits)
        EXPECT_LE(f.width, f.room) << f.name.toStdString() << " \"" << f.text.toStdString() << "\"";
}

}  // namespace
}  // namespace tsuzuri
