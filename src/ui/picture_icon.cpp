#include "ui/picture_icon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "view/glyph_art.h"
#include "score/glyph_catalogue.h"

namespace tsuzuri {

namespace {

class PictureIconEngine final : public QIconEngine {
public:
    explicit PictureIconEngine(int picture) : picture_(picture) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        painter->drawPixmap(rect.topLeft(), scaledPixmap(rect.size(), mode, state, ratio));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1);
    }
    // The picture at its design size whatever size is asked for, as the
    // buttons' icon size is that size; disabled, in the style's greyed form.
    QPixmap scaledPixmap(const QSize&, QIcon::Mode mode, QIcon::State, qreal scale) override {
        const QPixmap& art = picturePixmap(picture_, scale);
        if (mode != QIcon::Disabled)
            return art;
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, art, &option);
    }
    QSize actualSize(const QSize&, QIcon::Mode, QIcon::State) override {
        const PictureSize size = pictureSize(picture_);
        return QSize(size.width, size.height);
    }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new PictureIconEngine(picture_); }

private:
    int picture_;
};

}  // namespace

QIcon pictureIcon(int picture) {
    return QIcon(new PictureIconEngine(picture));
}

}  // namespace tsuzuri
