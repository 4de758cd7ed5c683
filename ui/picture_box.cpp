#include "ui/picture_box.hpp"

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
    drawnFor_ = 0;
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    // On a scaled display, the version drawn for 1.5 or 2 times the scale (between them, the
    // next larger), loaded again only when the scale changes.
    const qreal ratio = devicePixelRatioF();
    const QString versions = picture_.text(QStringLiteral("versions"));
    if (ratio > 1 && !versions.isEmpty() && !qFuzzyCompare(drawnFor_, ratio)) {
        const int percent = ratio <= 1.5 ? 150 : 200;
        drawn_.load(versions.arg(QStringLiteral("-%1").arg(percent)));
        drawn_.setDevicePixelRatio(percent / 100.0);
        drawnFor_ = ratio;
    }
    const QImage& picture = ratio > 1 && !drawn_.isNull() ? drawn_ : picture_;
    QPainter painter(this);
    // At its own logical size, one picture pixel to one device pixel where it was drawn for this
    // scale; a box too short for it shows all of it, smaller, in its middle.
    QRectF shown(QPointF(0, 0), picture.deviceIndependentSize());
    const bool shrunk = shown.height() > height();
    if (shrunk) {
        shown.setSize(shown.size().scaled(shown.width(), height(), Qt::KeepAspectRatio));
        shown.moveLeft((width() - shown.width()) / 2);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform,
                          shrunk || !qFuzzyCompare(picture.devicePixelRatio(), ratio));
    painter.drawImage(shown, picture);
}

} // namespace velmora::ui
