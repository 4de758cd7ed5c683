#include "ui/entry_box.hpp"

#include "core/text.hpp"

#include <algorithm>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <qdrawutil.h>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QValidator>

namespace velmora::ui {
namespace {

// The edge drawn around the box, as wide as the display box's.
constexpr int kEdge = 2;

// Refuses an edit that would leave more characters in the box than it takes.
class CharacterLimit final : public QValidator {
public:
    CharacterLimit(std::size_t limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int& /*position*/) const override {
        // In UTF-8 a lone surrogate becomes one stand-in character, so it counts as one.
        return text::characterCount(input.toStdString()) <= limit_ ? Acceptable : Invalid;
    }

private:
    std::size_t limit_;
};

} // namespace

QAction* findPasteAction(const QMenu& menu) {
    // The line edit's menu names its entries in the user's language, each followed by a tab and
    // its shortcut; the same translation finds Paste among them.
    const QString paste = QLineEdit::tr("&Paste");
    const QList<QAction*> actions = menu.actions();
    const auto found =
        std::find_if(actions.begin(), actions.end(), [&paste](const QAction* action) {
            return action->text().section(QLatin1Char('\t'), 0, 0) == paste;
        });
    return found == actions.end() ? nullptr : *found;
}

EntryBox::EntryBox(int maxCharacters, QWidget* parent) : QLineEdit(parent) {
    setValidator(new CharacterLimit(static_cast<std::size_t>(maxCharacters), this));
    // The box draws its own edge, in the platform's colours rather than the black window's.
    setFrame(false);
    setTextMargins(kEdge, kEdge, kEdge, kEdge);
}

void EntryBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        emit textPasted(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EntryBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction* pasteAction = findPasteAction(*menu)) {
        pasteAction->disconnect();
        connect(pasteAction, &QAction::triggered, this,
                [this] { emit textPasted(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(event->globalPos());
}

// A middle click pastes the X11 selection where the platform keeps one.
void EntryBox::mouseReleaseEvent(QMouseEvent* event) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        deselect();
        emit textPasted(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// Text dragged from elsewhere is pasted where it is dropped; a move inside the box stays the
// line edit's own.
void EntryBox::dropEvent(QDropEvent* event) {
    if (event->source() == this || !event->mimeData()->hasText() || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    deselect();
    emit textPasted(event->mimeData()->text());
    event->acceptProposedAction();
    setFocus();
}

void EntryBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), QGuiApplication::palette(), true);
}

} // namespace velmora::ui
