#include "ui/lookup_window.hpp"

#include "core/code_table.hpp"
#include "core/find.hpp"
#include "core/paste.hpp"
#include "core/table_file.hpp"
#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/find_box.hpp"
#include "ui/qt_text.hpp"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QToolTip>

namespace velmora::ui {
namespace {

// How long a note on pasted codes stays.
constexpr int kPasteNoteMilliseconds = 8000;

void showProblem(QWidget& parent, const QString& message, const QString& advice) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"), message, QMessageBox::Ok,
                    &parent);
    box.setInformativeText(advice);
    box.exec();
}

} // namespace

RPO2::RPO2()
    : MainWindow(forms::kLookupForm), locateTable_([] { return velmora::locateTable(); }),
      reportTableError_(showTableError), reportOutOfMemory_(showOutOfMemory),
      controls_(forms::kLookupForm, *client(), port_) {
    bindMenus(port_);
    for (int index = 0; index < kSlotCount; ++index) {
        connect(txtrpo(index), &EntryBox::textPasted, this,
                [this, index](const QString& text) { pasteInto(index, text); });
    }

    // Find is reached by its shortcut and from the display box, so the form and its menus stay
    // as they are.
    findAction_ = new QAction(toQString(kFindActionText), this);
    findAction_->setObjectName(QStringLiteral("findAction"));
    findAction_->setShortcut(QKeySequence(toQString(kFindShortcut)));
    findAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(findAction_);
    pic1()->addAction(findAction_);
    connect(findAction_, &QAction::triggered, this, &RPO2::showFindBox);

    // "Search " takes the first focus, so Enter or Space at once runs a search.
    controls_.focusFirst();
}

EntryBox* RPO2::txtrpo(int index) const {
    return controls_.get<EntryBox>("txtrpo", index);
}
DisplayBox* RPO2::pic1() const {
    return controls_.get<DisplayBox>("pic1");
}
CommandButton* RPO2::cmdlookup() const {
    return controls_.get<CommandButton>("cmdlookup");
}
CommandButton* RPO2::cmdclear() const {
    return controls_.get<CommandButton>("cmdclear");
}
QLabel* RPO2::Label1() const {
    return controls_.get<QLabel>("Label1");
}

void RPO2::showFindBox() {
    if (findBox_ == nullptr) {
        findBox_ = new FindBox(this);
        connect(findBox_, &FindBox::findRequested, this, &RPO2::findByDescription);
    }
    findBox_->present();
}

void RPO2::findByDescription(const QString& words) {
    runFind(port_, words.toStdString());
}

void RPO2::showTableError(QWidget& parent, const TableError& error) {
    showProblem(parent, QString::fromStdString(error.describe()),
                QString::fromStdString(error.advice()));
}

void RPO2::showOutOfMemory(QWidget& parent) {
    showProblem(parent, toQString(kOutOfMemoryMessage), toQString(kOutOfMemoryAdvice));
}

void RPO2::pasteInto(int index, const QString& text) {
    const paste::Spread spread = paste::spreadPaste(text.toStdString(), index, kSlotCount);
    if (!spread.spreads) {
        txtrpo(index)->insertCut(QString::fromStdString(spread.text));
        return;
    }
    int next = index;
    for (const std::string& code : spread.codes) {
        txtrpo(next++)->setText(QString::fromStdString(code));
    }
    EntryBox* last = txtrpo(std::max(index, next - 1));
    if (!spread.codes.empty()) {
        last->setFocus();
    }
    if (!spread.leftOver.empty()) {
        showPasteNote(*last, QString::fromStdString(paste::leftOverNote(spread.leftOver)));
    }
}

// A balloon under the box, gone after a while or at the next click: the user learns what was
// left out without a box to dismiss, and the window's layout stays as it is.
void RPO2::showPasteNote(EntryBox& box, const QString& note) {
    QToolTip::showText(box.mapToGlobal(QPoint(0, box.height())), note, &box, QRect(),
                       kPasteNoteMilliseconds);
}

std::string RPO2::Slots::entry(int slot) const {
    return window_.txtrpo(slot)->text().toStdString();
}

void RPO2::Slots::setEntry(int slot, const std::string& text) {
    window_.txtrpo(slot)->setText(QString::fromStdString(text));
}

void RPO2::Slots::clearDisplay() {
    window_.pic1()->clear();
}

void RPO2::Slots::printLine(std::string_view line) {
    window_.pic1()->printLine(QUtf8StringView(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace velmora::ui
