#include "ui/command_button.hpp"

#include <QKeyEvent>
#include <QStyleOptionButton>

namespace velmora::ui {
namespace {

bool isEnter(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {
    setAutoDefault(false);
    setDefault(false);
}

// Enter works as Space does: down on the press, clicked on the release, so that the release never
// reaches the next window and a held key does not repeat the command.
void CommandButton::keyPressEvent(QKeyEvent* event) {
    if (!isEnter(*event)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    if (!event->isAutoRepeat()) {
        setDown(true);
    }
    event->accept();
}

void CommandButton::keyReleaseEvent(QKeyEvent* event) {
    if (!isEnter(*event)) {
        QPushButton::keyReleaseEvent(event);
        return;
    }
    if (!event->isAutoRepeat() && isDown()) {
        setDown(false);
        click();
    }
    event->accept();
}

// Some styles draw the focus mark only after a Tab; a keyboard user should see at once, in a
// window just opened, what Enter presses.
void CommandButton::initStyleOption(QStyleOptionButton* option) const {
    QPushButton::initStyleOption(option);
    if (hasFocus()) {
        option->state |= QStyle::State_KeyboardFocusChange;
    }
}

} // namespace velmora::ui
