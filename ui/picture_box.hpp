#pragma once

#include <QImage>
#include <QWidget>

namespace velmora::ui {

// Shows a picture, or its version drawn for a scaled display, unscaled from its top left corner
// and clips what does not fit. It takes the focus in its turn but shows no focus mark.
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
    qreal drawnFor_ = 0;
};

} // namespace velmora::ui
