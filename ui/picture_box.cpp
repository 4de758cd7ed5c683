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
    // the picture sharp rather than blurred; a box too short for it shows all of it, smaller.
    QSize shown = picture_.size();
    const bool shrunk = shown.height() > height();
    if (shrunk) {
        shown.scale(shown.width(), height(), Qt::KeepAspectRatio);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, shrunk);
    painter.drawImage(QRect(QPoint(0, 0), shown), picture_);
}

} // namespace velmora::ui
