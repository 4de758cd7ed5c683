#include "ui/window_look.hpp"

#include "ui/assets.hpp"
#include "ui/qt_text.hpp"
#include "ui/twips.hpp"

#include <algorithm>
#include <QApplication>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QScreen>
#include <QWidget>

namespace velmora::ui {
namespace {

QColor toColour(forms::Colour colour) {
    return {forms::red(colour), forms::green(colour), forms::blue(colour)};
}

} // namespace

void setBackground(QWidget& widget, forms::Colour colour) {
    if (forms::isSystemColour(colour)) {
        // The forms fill a background with the button face (system colour 15) alone, behind the
        // help picture; any other entry of the system colour table is taken as the window colour.
        constexpr int kButtonFace = 15;
        widget.setBackgroundRole(
            forms::systemColourEntry(colour) == kButtonFace ? QPalette::Button : QPalette::Window);
    } else {
        QPalette colours = widget.palette();
        colours.setColor(QPalette::Window, toColour(colour));
        widget.setPalette(colours);
    }
    widget.setAutoFillBackground(true);
}

void styleLabel(QLabel& label, std::optional<forms::Colour> text,
                std::optional<forms::Colour> background) {
    if (background) {
        setBackground(label, *background);
    }
    if (text) {
        QPalette colours = label.palette();
        colours.setColor(QPalette::WindowText, toColour(*text));
        label.setPalette(colours);
    }
    label.setTextFormat(Qt::PlainText);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(true);
    label.setFocusPolicy(Qt::NoFocus);
    // Where the platform's font is wider than the layouts allowed for, the label is drawn a little
    // smaller, never below 6 points, so that every word shows and nothing moves.
    QFont font = label.font();
    while (label.heightForWidth(label.width()) > label.height() && font.pointSizeF() > 6.0) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        label.setFont(font);
    }
}

void applyFormFrame(QWidget& window, const forms::Form& form) {
    window.setObjectName(toQString(form.name));
    window.setWindowTitle(toQString(form.caption));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (form.canMaximize) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    window.setWindowFlags(flags);
}

int frameHeight(const QWidget& window) {
    // Before a window first shows, the window manager has not yet said how high its title bar and
    // frame are: this much holds those of the common ones.
    constexpr int kFrameAllowance = 40;
    return std::max(window.frameGeometry().height() - window.height(), kFrameAllowance);
}

void placeBeside(QWidget& window, const QWidget& owner) {
    const QRect frame = owner.frameGeometry();
    const QRect area = owner.screen()->availableGeometry();
    const QSize size(window.frameGeometry().width(), window.height() + frameHeight(window));
    const forms::ScreenPoint at = forms::placeBeside(
        {frame.left(), frame.top(), frame.left() + frame.width(), frame.top() + frame.height()},
        size.width(), size.height(),
        {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()},
        toPixels(forms::kBesideGap));
    window.move(at.x, at.y);
}

void showWindow(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

void applyProgramLook() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    QApplication::setFont(font);
    QApplication::setWindowIcon(assets::programIcon());
}

} // namespace velmora::ui
