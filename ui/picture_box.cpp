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
    update();
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // One picture pixel to one logical pixel, without smoothing, so that a scaled display shows
    // the picture sharp rather than blurred; a box too short for it shows all of it, smaller, in
    // its middle.
    QRect shown(QPoint(0, 0), picture_.size());
    const bool shrunk = shown.height() > height();
    if (shrunk) {
        shown.setSize(shown.size().scaled(shown.width(), height(), Qt::KeepAspectRatio));
        shown.moveLeft((width() - shown.width()) / 2);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, shrunk);
    painter.drawImage(shown, picture_);
}

} // namespace velmora::ui
