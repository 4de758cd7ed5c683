#include "ui/assets.hpp"

namespace velmora::ui::assets {

QImage picture(forms::Picture which) {
    if (which == forms::Picture::None) {
        return {};
    }
    const QString path = which == forms::Picture::Banner ? QStringLiteral(":/assets/banner%1.bmp")
                                                         : QStringLiteral(":/assets/help%1.bmp");
    QImage image(path.arg(QString()));
    image.setText(QStringLiteral("versions"), path);
    return image;
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/assets/icons/velmora-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace velmora::ui::assets
