#include "ui/assets.hpp"

namespace velmora::ui::assets {

QImage banner() {
    return QImage(QStringLiteral(":/assets/banner.bmp"));
}

QImage helpPicture() {
    return QImage(QStringLiteral(":/assets/help.bmp"));
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/assets/icons/velmora-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace velmora::ui::assets
