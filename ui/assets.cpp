#include "ui/assets.hpp"

namespace velmora::ui::assets {

QImage picture(forms::Picture which) {
    switch (which) {
    case forms::Picture::Banner:
        return QImage(QStringLiteral(":/assets/banner.bmp"));
    case forms::Picture::HelpPicture:
        return QImage(QStringLiteral(":/assets/help.bmp"));
    case forms::Picture::None:
        break;
    }
    return {};
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/assets/icons/velmora-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace velmora::ui::assets
