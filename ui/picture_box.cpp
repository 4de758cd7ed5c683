#include "ui/picture_box.hpp"

#include "ui/assets.hpp"

#include <QPainter>

namespace velmora::ui {

PictureBox::PictureBox(QImage picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

void PictureBox::setPicture(const QImage& picture) {
    picture_ = picture;
    drawn_ = QImage();
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    // The picture drawn for the display's scale, loaded again only when the scale changes.
    const qreal ratio = devicePixelRatioF();
    if (drawn_.isNull() || !qFuzzyCompare(drawnFor_, ratio)) {
        drawn_ = assets::drawnFor(picture_, ratio);
        drawnFor_ = ratio;
    }
    QPainter painter(this);
    // At its own logical size, one picture pixel to one device pixel where it was drawn for this
    // scale; a box too short for it shows all of it, smaller, in its middle.
    QRectF shown(QPointF(0, 0), drawn_.deviceIndependentSize());
    const bool shrunk = shown.height() > height();
    if (shrunk) {
        shown.setSize(shown.size().scaled(shown.width(), height(), Qt::KeepAspectRatio));
        shown.moveLeft((width() - shown.width()) / 2);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          shrunk || !qFuzzyCompare(drawn_.devicePixelRatio(), ratio));
    painter.drawImage(shown, drawn_);
}

} // namespace velmora::ui
