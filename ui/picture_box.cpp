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
    // the picture sharp rather than blurred.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(QPoint(0, 0), picture_.size()), picture_);
}

} // namespace velmora::ui
