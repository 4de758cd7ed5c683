#include "window_look.hpp"

#include <QLabel>
#include <QWidget>

namespace velmora::ui {

void setBackground(QWidget& widget, const QColor& colour) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, colour);
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

void styleLabel(QLabel& label, const QColor& text, const QColor& background) {
    setBackground(label, background);
    QPalette colours = label.palette();
    colours.setColor(QPalette::WindowText, text);
    label.setPalette(colours);
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(true);
    label.setFocusPolicy(Qt::NoFocus);
    fitTextToBox(label);
}

void fitTextToBox(QLabel& label) {
    QFont font = label.font();
    while (label.heightForWidth(label.width()) > label.height() && font.pointSizeF() > 6.0) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        label.setFont(font);
    }
}

void setTitleBarControls(QWidget& window, bool canMaximize) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (canMaximize) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    window.setWindowFlags(flags);
}

} // namespace velmora::ui
