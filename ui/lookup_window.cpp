#include "ui/lookup_window.hpp"

#include "core/code_table.hpp"
#include "core/paste.hpp"
#include "forms/forms.hpp"
#include "ui/qt_text.hpp"
#include "ui/tool_box.hpp"

#include <QAccessible>
#include <QAction>

namespace velmora::ui {

LookupWindow::LookupWindow(WindowPort& port)
    : MainWindow(forms::kLookupForm, port), port_(port),
      controls_(forms::kLookupForm, *client(), port) {
    for (int index = 0; index < kSlotCount; ++index) {
        connect(entryBox(index), &EntryBox::textPasted, this,
                [this, index](const QString& text) { pasteInto(index, text); });
        connect(entryBox(index), &EntryBox::textChanged, this, [this] { showPasteNote({}); });
    }
    // The note stays until the user changes a box, clicks in the window or presses a button; keys
    // that only move the focus leave it.
    for (CommandButton* button : {searchButton(), clearButton()}) {
        connect(button, &CommandButton::clicked, this, [this] { showPasteNote({}); });
    }
    for (QWidget* each : client()->findChildren<QWidget*>()) {
        each->installEventFilter(this);
    }
    client()->installEventFilter(this);
    // One line, cut at the window's edge rather than wrapped out of sight.
    pasteNote()->setWordWrap(false);

    // The tools are reached by their shortcuts and from the display box, so the form and its
    // menus stay as they are.
    for (const forms::LookupTool& tool : forms::kLookupTools) {
        auto* action = new QAction(toQString(tool.menuEntry), this);
        action->setShortcut(
            QKeyCombination(tool.shortcut.ctrl ? Qt::ControlModifier : Qt::NoModifier,
                            static_cast<Qt::Key>(tool.shortcut.key)));
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        displayBox()->addAction(action);
        connect(action, &QAction::triggered, this, [this, id = tool.tool] { openTool(id); });
        toolActions_.at(toolIndex(tool.tool)) = action;
    }

    // "Search " takes the first focus, so Enter or Space at once runs a search.
    controls_.focusFirst();
}

void LookupWindow::openTool(ToolId tool) {
    const forms::ToolForm* form = forms::kLookupTools.at(toolIndex(tool)).form;
    if (form == nullptr) {
        runTool(tool, port_);
        return;
    }
    ToolBox*& box = toolBoxes_.at(toolIndex(tool));
    if (box == nullptr) {
        box = new ToolBox(*form, this);
        connect(box, &ToolBox::runRequested, this,
                [this, tool](const QString& text) { runTool(tool, port_, text.toStdString()); });
    }
    box->present();
}

void LookupWindow::pasteInto(int index, const QString& text) {
    // The core works in UTF-8 byte offsets; the box counts UTF-16 units.
    const auto utf8Length = [](const QString& part) {
        return static_cast<std::size_t>(part.toUtf8().size());
    };
    const auto units = [](const std::string& utf8, std::size_t bytes) {
        return static_cast<int>(
            QString::fromUtf8(utf8.data(), static_cast<qsizetype>(bytes)).size());
    };
    std::vector<std::string> texts;
    texts.reserve(kSlotCount);
    for (int box = 0; box < kSlotCount; ++box) {
        texts.push_back(entryBox(box)->text().toStdString());
    }
    const EntryBox& into = *entryBox(index);
    const int from = into.hasSelectedText() ? into.selectionStart() : into.cursorPosition();
    const int to = into.hasSelectedText() ? into.selectionEnd() : from;
    const paste::Result result =
        paste::apply(texts,
                     {static_cast<std::size_t>(index), utf8Length(into.text().left(from)),
                      utf8Length(into.text().left(to))},
                     text.toStdString());

    for (int box = 0; box < kSlotCount; ++box) {
        const std::string& now = result.texts[static_cast<std::size_t>(box)];
        if (now != texts[static_cast<std::size_t>(box)]) {
            // Over the whole text rather than setText, so that Undo takes the paste back.
            entryBox(box)->selectAll();
            entryBox(box)->insert(QString::fromStdString(now));
        }
    }
    EntryBox& focus = *entryBox(static_cast<int>(result.focus));
    const std::string& focused = result.texts[result.focus];
    focus.setFocus();
    const int start = units(focused, result.selectionStart);
    const int end = units(focused, result.selectionEnd);
    focus.setSelection(start, end - start);
    showPasteNote(QString::fromStdString(result.note));
}

// A line in the window, which screen readers are told of: it covers nothing and stays until the
// user has read it and goes on.
void LookupWindow::showPasteNote(const QString& note) const {
    if (note == pasteNote()->text()) {
        return;
    }
    pasteNote()->setText(note);
    pasteNote()->setToolTip(note);
    QAccessibleEvent changed(pasteNote(), QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    if (!note.isEmpty()) {
        QAccessibleEvent alert(pasteNote(), QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

// A click anywhere in the window takes the note away.
bool LookupWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        showPasteNote({});
    }
    return MainWindow::eventFilter(watched, event);
}

std::string LookupWindow::Slots::entry(int slot) const {
    return window_.entryBox(slot)->text().toStdString();
}

void LookupWindow::Slots::setEntry(int slot, const std::string& text) {
    window_.entryBox(slot)->setText(QString::fromStdString(text));
}

void LookupWindow::Slots::printLine(std::string_view line) {
    window_.displayBox()->printLine(
        QUtf8StringView(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace velmora::ui
