#pragma once

#include <QImage>
#include <QWidget>

namespace velmora::ui {

// Shows a picture unscaled from its top left corner and clips what does not fit; on a scaled
// display, the version of it drawn for that scale. It takes the focus in its turn but shows no
// focus mark.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    PictureBox(QImage picture, QWidget* parent);
    void setPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QImage drawn_;
    qreal drawnFor_ = 1;
};

} // namespace velmora::ui
