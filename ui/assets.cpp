#include "ui/assets.hpp"

namespace velmora::ui::assets {

// The text under which a picture keeps the path of its versions: "%1" stands for "-150" or "-200".
const QString kVersions = QStringLiteral("velmora-versions");

QImage picture(forms::Picture which) {
    if (which == forms::Picture::None) {
        return {};
    }
    const QString path = which == forms::Picture::Banner ? QStringLiteral(":/assets/banner%1.bmp")
                                                         : QStringLiteral(":/assets/help%1.bmp");
    QImage image(path.arg(QString()));
    image.setText(kVersions, path);
    return image;
}

QImage drawnFor(const QImage& picture, qreal ratio) {
    const QString path = picture.text(kVersions);
    if (path.isEmpty() || ratio <= 1) {
        return picture;
    }
    // Between the scales drawn, the next larger one, to be drawn smaller.
    const int percent = ratio <= 1.5 ? 150 : 200;
    QImage drawn(path.arg(QStringLiteral("-%1").arg(percent)));
    drawn.setDevicePixelRatio(percent / 100.0);
    return drawn.isNull() ? picture : drawn;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/assets/icons/velmora-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace velmora::ui::assets
