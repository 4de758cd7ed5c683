// Paints the program's pictures into assets/: banner.bmp (443 x 335) and help.bmp (406 x 445),
// 24 bits, each also drawn at 1.5 and 2 times the scale (banner-150.bmp, help-200.bmp, ...);
// icons/velmora-N.png, the program icon at 32 (256 colours), 48, 64, 128 and 256 pixels; and the
// same icon as the Windows program's resources, windows/icon-30001.bin and the icon group that
// names it, windows/icon-group-1.bin. The help picture holds reduced views of the start and
// lookup windows, grabbed from the real windows, with four callouts: run the tool again after the
// banner or the windows change.
//   QT_QPA_PLATFORM=offscreen velmora-paint-assets [FOLDER]

#include "ui/application.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/picture_box.hpp"
#include "ui/start_window.hpp"
#include "ui/window_look.hpp"

#include <cstdio>
#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

namespace {

using velmora::ui::LookupWindow;
using velmora::ui::StartWindow;

// A picture of `size` logical pixels for a display at `scale`: it has that many more pixels, and
// a painter on it draws in logical pixels.
QImage canvas(QSize size, double scale, QImage::Format format = QImage::Format_RGB888) {
    QImage image((QSizeF(size) * scale).toSize(), format);
    image.setDevicePixelRatio(scale);
    return image;
}

// The winged bird emblem at the left and the striped shield at the right, on black.
QImage paintBanner(double scale) {
    QImage banner = canvas({443, 335}, scale);
    banner.fill(Qt::black);
    QPainter p(&banner);
    p.setRenderHint(QPainter::Antialiasing);

    // The bird: a blue body with its head up, wings of white feathers over gray, a red base.
    const QPointF centre(112, 140);
    for (const int side : {-1, 1}) {
        for (int feather = 0; feather < 6; ++feather) {
            const double reach = 88 - feather * 9;
            const double lift = -34 + feather * 13;
            QPainterPath path;
            path.moveTo(centre + QPointF(side * 10, -8 + feather * 7));
            path.quadTo(centre + QPointF(side * reach * 0.55, lift - 22),
                        centre + QPointF(side * reach, lift));
            path.quadTo(centre + QPointF(side * reach * 0.6, lift + 14),
                        centre + QPointF(side * 10, 8 + feather * 7));
            path.closeSubpath();
            p.setPen(QPen(QColor(40, 40, 40), 1.2));
            p.setBrush(feather < 3 ? QColor(245, 245, 245) : QColor(150, 150, 155));
            p.drawPath(path);
        }
    }
    QPainterPath body;
    body.moveTo(centre + QPointF(0, -62));
    body.quadTo(centre + QPointF(15, -50), centre + QPointF(12, -30));
    body.quadTo(centre + QPointF(16, 20), centre + QPointF(0, 54));
    body.quadTo(centre + QPointF(-16, 20), centre + QPointF(-12, -30));
    body.quadTo(centre + QPointF(-15, -50), centre + QPointF(0, -62));
    p.setPen(QPen(QColor(10, 20, 60), 1.5));
    p.setBrush(QColor(30, 80, 200));
    p.drawPath(body);
    QPainterPath beak;
    beak.moveTo(centre + QPointF(-4, -58));
    beak.lineTo(centre + QPointF(10, -70));
    beak.lineTo(centre + QPointF(4, -52));
    p.setBrush(QColor(240, 200, 40));
    p.drawPath(beak);
    p.setBrush(Qt::white);
    p.drawEllipse(centre + QPointF(3, -50), 2.5, 2.5);
    QPainterPath base;
    base.moveTo(centre + QPointF(-34, 60));
    base.lineTo(centre + QPointF(34, 60));
    base.lineTo(centre + QPointF(24, 84));
    base.lineTo(centre + QPointF(-24, 84));
    base.closeSubpath();
    p.setPen(QPen(QColor(90, 0, 0), 1.5));
    p.setBrush(QColor(200, 20, 30));
    p.drawPath(base);

    // The shield: three vertical stripes, red, white and blue, over a dark gray panel that
    // carries a small red badge.
    const QRectF panel(262, 176, 136, 70);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(64, 64, 68));
    p.drawRoundedRect(panel, 6, 6);
    p.setBrush(QColor(205, 25, 35));
    p.drawRoundedRect(QRectF(panel.center().x() - 16, panel.center().y() - 8, 32, 16), 3, 3);
    QPainterPath shield;
    const QRectF crest(285, 48, 90, 116);
    shield.moveTo(crest.topLeft());
    shield.lineTo(crest.topRight());
    shield.lineTo(crest.right(), crest.top() + 62);
    shield.quadTo(crest.right(), crest.bottom() - 18, crest.center().x(), crest.bottom());
    shield.quadTo(crest.left(), crest.bottom() - 18, crest.left(), crest.top() + 62);
    shield.closeSubpath();
    p.save();
    p.setClipPath(shield);
    const QColor stripes[] = {QColor(200, 20, 30), QColor(245, 245, 245), QColor(25, 60, 170)};
    for (int i = 0; i < 3; ++i) {
        p.fillRect(QRectF(crest.left() + i * crest.width() / 3, crest.top(), crest.width() / 3 + 1,
                          crest.height()),
                   stripes[i]);
    }
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(190, 190, 195), 3));
    p.drawPath(shield);
    return banner;
}

// A wheel, black tyre and gray rim, on blue.
QImage paintIcon(int size) {
    QImage icon(size, size, QImage::Format_RGB32);
    icon.fill(QColor(30, 70, 190));
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size / 2.0, size / 2.0);
    const double s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(12, 12, 12));
    p.drawEllipse(centre, s * 0.46, s * 0.46);
    p.setBrush(QColor(165, 168, 172));
    p.drawEllipse(centre, s * 0.30, s * 0.30);
    p.setBrush(QColor(110, 112, 116));
    for (int spoke = 0; spoke < 5; ++spoke) {
        p.save();
        p.translate(centre);
        p.rotate(spoke * 72.0);
        p.drawRect(QRectF(-s * 0.035, -s * 0.28, s * 0.07, s * 0.2));
        p.restore();
    }
    p.setBrush(QColor(70, 72, 76));
    p.drawEllipse(centre, s * 0.09, s * 0.09);
    return icon;
}

QImage toPalette(const QImage& image) {
    QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QList<QRgb> colours = indexed.colorTable();
    colours.resize(256, qRgb(0, 0, 0));
    indexed.setColorTable(colours);
    return indexed;
}

// An .ico with one 32 x 32 picture of 8 bits a pixel and a 256-colour palette.
QByteArray icoFile(const QImage& indexed) {
    QByteArray out;
    QDataStream put(&out, QIODevice::WriteOnly);
    put.setByteOrder(QDataStream::LittleEndian);
    const auto size = static_cast<quint32>(indexed.width());
    const quint32 maskRow = ((size + 31) / 32) * 4;
    const quint32 pixelBytes = size * size + maskRow * size;
    // The directory and its one entry: 256 colours, one plane, 8 bits, the picture at byte 22.
    put << quint16(0) << quint16(1) << quint16(1) << quint8(size) << quint8(size) << quint8(0)
        << quint8(0) << quint16(1) << quint16(8) << quint32(40 + 256 * 4 + pixelBytes)
        << quint32(22);
    // The picture's header: twice its height, for the picture and its mask.
    put << quint32(40) << size << size * 2 << quint16(1) << quint16(8) << quint32(0) << pixelBytes
        << quint32(0) << quint32(0) << quint32(256) << quint32(0);
    for (const QRgb colour : indexed.colorTable()) {
        put << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    }
    for (int y = indexed.height() - 1; y >= 0; --y) {
        put.writeRawData(reinterpret_cast<const char*>(indexed.constScanLine(y)),
                         static_cast<int>(size));
    }
    out.append(QByteArray(static_cast<qsizetype>(maskRow * size), '\0')); // every pixel opaque
    return out;
}

// A Windows icon group naming the one picture of `ico` as resource `pictureId`: the icon file's
// directory with the picture's file offset replaced by its resource number.
QByteArray iconGroup(const QByteArray& ico, quint16 pictureId) {
    QByteArray group = ico.left(6 + 12);
    const quint16 id = qToLittleEndian(pictureId);
    group.append(reinterpret_cast<const char*>(&id), 2);
    return group;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s\n", qPrintable(path));
    return true;
}

// The height of the caption bar over a view of a window.
constexpr int kCaption = 18;

// A window as rendered at `scale`, under a caption bar of its own, since the frame belongs to
// the window system and is not in the rendering.
QImage withCaption(QWidget& window, double scale) {
    QImage content = canvas(window.size(), scale, QImage::Format_RGB32);
    window.render(&content);
    QImage framed = canvas(window.size() + QSize(4, kCaption + 4), scale, QImage::Format_RGB32);
    framed.fill(QColor(192, 192, 192));
    QPainter p(&framed);
    p.fillRect(QRect(2, 2, window.width(), kCaption), QColor(0, 0, 128));
    p.setPen(Qt::white);
    QFont font = QApplication::font();
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(8, 2, window.width() - 60, kCaption), Qt::AlignVCenter, window.windowTitle());
    for (int i = 0; i < 3; ++i) {
        const QRect button(window.width() - 50 + i * 16, 4, 14, kCaption - 4);
        p.fillRect(button, QColor(192, 192, 192));
        p.setPen(i == 1 ? QColor(128, 128, 128) : Qt::black);
        p.drawRect(button.adjusted(0, 0, -1, -1));
    }
    p.drawImage(2, 2 + kCaption, content);
    return framed;
}

struct View {
    QImage picture;
    QPointF origin;
    double scale;

    QRectF place(QWidget* control, QWidget* window) const {
        const QPoint at = control->mapTo(window, QPoint(0, 0));
        return {origin.x() + (at.x() + 2) * scale, origin.y() + (at.y() + 2 + kCaption) * scale,
                control->width() * scale, control->height() * scale};
    }
};

View placeView(const QImage& framed, const QRectF& room) {
    const QSizeF whole = framed.deviceIndependentSize();
    const double scale = std::min(room.width() / whole.width(), room.height() / whole.height());
    const QSize size = (whole * scale).toSize();
    const QPointF origin(room.right() - size.width(),
                         room.top() + (room.height() - size.height()) / 2);
    return {framed.scaled(size * framed.devicePixelRatio(), Qt::IgnoreAspectRatio,
                          Qt::SmoothTransformation),
            origin, scale};
}

// The text in a box at the left, `raise` above the middle of `target`, with a line from it to a
// ring around the target.
void callout(QPainter& p, const char* text, const QRectF& target, double raise, double height,
             const QColor& colour) {
    const QRectF textBox(6, target.center().y() - raise, 118, height);
    p.setPen(Qt::black);
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               QString::fromLatin1(text));
    const QRectF ring = target.adjusted(-5, -4, 5, 4);
    p.setPen(QPen(colour, 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(ring);
    p.drawLine(QPointF(textBox.right() + 2, textBox.center().y()),
               QPointF(ring.left(), ring.center().y()));
}

QImage paintHelpPicture(const QImage& banner, const QString& table, double scale) {
    velmora::ui::Application program(table.toStdString());
    StartWindow& start = program.startWindow();
    start.banner()->setPicture(banner);
    start.show();
    LookupWindow& lookup = program.lookupWindow();
    const char* sample[] = {"L98", "G80", "WS6", "1LE", "LB9", "C60"};
    for (int i = 0; i < 6; ++i) {
        lookup.entryBox(i)->setText(QString::fromLatin1(sample[i]));
    }
    lookup.show();
    lookup.search();
    QApplication::processEvents();

    QImage help = canvas({406, 445}, scale);
    help.fill(Qt::white);
    QPainter p(&help);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(QApplication::font());
    const View startView = placeView(withCaption(start, scale), QRectF(150, 4, 252, 212));
    const View lookupView = placeView(withCaption(lookup, scale), QRectF(150, 222, 252, 218));
    p.drawImage(startView.origin, startView.picture);
    p.drawImage(lookupView.origin, lookupView.picture);

    callout(p, "Click on this button to begin.", startView.place(start.lookUpButton(), &start), 20,
            40, QColor(220, 0, 0));
    callout(p, "Enter RPO codes in these boxes.",
            lookupView.place(lookup.entryBox(0), &lookup)
                .united(lookupView.place(lookup.entryBox(14), &lookup)),
            34, 40, QColor(220, 0, 0));
    callout(p, "Click here to search the data base.",
            lookupView.place(lookup.searchButton(), &lookup), 4, 40, QColor(0, 0, 230));
    callout(p, "Click here to quickly clear all of the text boxes.",
            lookupView.place(lookup.clearButton(), &lookup), -36, 52, QColor(210, 0, 210));
    return help;
}

bool save(const QImage& image, const QString& path, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    return image.save(&buffer, format) && write(path, bytes);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    velmora::ui::applyProgramLook();
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VELMORA_ASSETS_DIR);
    QDir().mkpath(folder + QStringLiteral("/icons"));
    QDir().mkpath(folder + QStringLiteral("/windows"));

    bool ok = true;
    for (const int percent : {100, 150, 200}) {
        const QString suffix = percent == 100 ? QString() : QStringLiteral("-%1").arg(percent);
        const QImage banner = paintBanner(percent / 100.0);
        ok &= save(banner, folder + QStringLiteral("/banner%1.bmp").arg(suffix), "BMP");
        ok &= save(paintHelpPicture(banner, QStringLiteral(VELMORA_SAMPLE_TABLE), percent / 100.0),
                   folder + QStringLiteral("/help%1.bmp").arg(suffix), "BMP");
    }
    for (const int size : {32, 48, 64, 128, 256}) {
        const QImage icon = size == 32 ? toPalette(paintIcon(size)) : paintIcon(size);
        ok &= save(icon, folder + QStringLiteral("/icons/velmora-%1.png").arg(size), "PNG");
    }
    // The picture follows the icon file's directory: its header and one entry.
    const QByteArray ico = icoFile(toPalette(paintIcon(32)));
    ok &= write(folder + QStringLiteral("/windows/icon-30001.bin"), ico.mid(6 + 16));
    ok &= write(folder + QStringLiteral("/windows/icon-group-1.bin"), iconGroup(ico, 30001));
    return ok ? 0 : 1;
}
