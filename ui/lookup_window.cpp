#include "ui/lookup_window.hpp"

#include "core/code_table.hpp"
#include "core/find.hpp"
#include "core/paste.hpp"
#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/find_box.hpp"
#include "ui/qt_text.hpp"

#include <QAction>
#include <QLabel>
#include <QToolTip>

namespace velmora::ui {
namespace {

// How long a note on pasted codes stays.
constexpr int kPasteNoteMilliseconds = 8000;

} // namespace

LookupWindow::LookupWindow(WindowPort& port)
    : MainWindow(forms::kLookupForm, port), port_(port),
      controls_(forms::kLookupForm, *client(), port) {
    for (int index = 0; index < kSlotCount; ++index) {
        connect(entryBox(index), &EntryBox::textPasted, this,
                [this, index](const QString& text) { pasteInto(index, text); });
    }

    // Find is reached by its shortcut and from the display box, so the form and its menus stay
    // as they are.
    findAction_ = new QAction(toQString(kFindActionText), this);
    findAction_->setObjectName(QStringLiteral("findAction"));
    findAction_->setShortcut(QKeySequence(toQString(kFindShortcut)));
    findAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(findAction_);
    displayBox()->addAction(findAction_);
    connect(findAction_, &QAction::triggered, this, &LookupWindow::showFindBox);

    // "Search " takes the first focus, so Enter or Space at once runs a search.
    controls_.focusFirst();
}

EntryBox* LookupWindow::entryBox(int index) const {
    return controls_.get<EntryBox>("txtrpo", index);
}
DisplayBox* LookupWindow::displayBox() const {
    return controls_.get<DisplayBox>("pic1");
}
CommandButton* LookupWindow::searchButton() const {
    return controls_.get<CommandButton>("cmdlookup");
}
CommandButton* LookupWindow::clearButton() const {
    return controls_.get<CommandButton>("cmdclear");
}
QLabel* LookupWindow::note() const {
    return controls_.get<QLabel>("Label1");
}

void LookupWindow::showFindBox() {
    if (findBox_ == nullptr) {
        findBox_ = new FindBox(this);
        connect(findBox_, &FindBox::findRequested, this, &LookupWindow::findByDescription);
    }
    findBox_->present();
}

void LookupWindow::findByDescription(const QString& words) {
    runFind(port_, words.toStdString());
}

void LookupWindow::pasteInto(int index, const QString& text) {
    const paste::Spread spread = paste::spreadPaste(text.toStdString(), index, kSlotCount);
    if (!spread.spreads) {
        entryBox(index)->insertCut(QString::fromStdString(spread.text));
        return;
    }
    int next = index;
    for (const std::string& code : spread.codes) {
        entryBox(next++)->setText(QString::fromStdString(code));
    }
    EntryBox* last = entryBox(std::max(index, next - 1));
    if (!spread.codes.empty()) {
        last->setFocus();
    }
    if (!spread.leftOver.empty()) {
        showPasteNote(*last, QString::fromStdString(paste::leftOverNote(spread.leftOver)));
    }
}

// A balloon under the box, gone after a while or at the next click: the user learns what was
// left out without a box to dismiss, and the window's layout stays as it is.
void LookupWindow::showPasteNote(EntryBox& box, const QString& note) {
    QToolTip::showText(box.mapToGlobal(QPoint(0, box.height())), note, &box, QRect(),
                       kPasteNoteMilliseconds);
}

std::string LookupWindow::Slots::entry(int slot) const {
    return window_.entryBox(slot)->text().toStdString();
}

void LookupWindow::Slots::setEntry(int slot, const std::string& text) {
    window_.entryBox(slot)->setText(QString::fromStdString(text));
}

void LookupWindow::Slots::clearDisplay() {
    window_.displayBox()->clear();
}

void LookupWindow::Slots::printLine(std::string_view line) {
    window_.displayBox()->printLine(
        QUtf8StringView(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace velmora::ui
