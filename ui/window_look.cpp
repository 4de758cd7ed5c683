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

void styleLabel(QLabel& label, const QColor& text, const QColor& background, bool wrap) {
    setBackground(label, background);
    QPalette colours = label.palette();
    colours.setColor(QPalette::WindowText, text);
    label.setPalette(colours);
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(wrap);
    label.setFocusPolicy(Qt::NoFocus);
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
