#include "entry_box.hpp"

#include "text.hpp"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace velmora::ui {

EntryBox::EntryBox(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(kMaxLength);
}

bool EntryBox::pasteCodes(const QString& text) {
    const std::string utf8 = text.toStdString();
    if (!text::holdsSeparator(utf8)) {
        return false;
    }
    QStringList codes;
    for (const auto& code : text::splitCodes(utf8)) {
        codes << QString::fromStdString(code).left(kMaxLength);
    }
    if (!codes.isEmpty()) {
        emit codesPasted(codes);
    }
    return true;
}

void EntryBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) && !isReadOnly() &&
        pasteCodes(QGuiApplication::clipboard()->text())) {
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EntryBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (auto* pasteAction = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        pasteAction->disconnect();
        connect(pasteAction, &QAction::triggered, this, [this] {
            if (!pasteCodes(QGuiApplication::clipboard()->text())) {
                paste();
            }
        });
    }
    menu->popup(event->globalPos());
}

void EntryBox::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasText() && pasteCodes(event->mimeData()->text())) {
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}

} // namespace velmora::ui
