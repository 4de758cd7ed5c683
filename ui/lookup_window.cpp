#include "lookup_window.hpp"

#include "code_table.hpp"
#include "command_button.hpp"
#include "display_box.hpp"
#include "entry_box.hpp"
#include "help_window.hpp"
#include "table_file.hpp"
#include "twips.hpp"
#include "window_look.hpp"
#include "windows.hpp"

#include <QAction>
#include <QLabel>
#include <QMessageBox>

namespace velmora::ui {
namespace {

struct Layout {
    TwipsSize client{7215, 7545};
    TwipsRect Label1{1080, 6600, 5295, 855};
    TwipsRect cmdlookup{1320, 1920, 3135, 615};
    TwipsRect pic1{120, 2760, 6975, 3615};
    TwipsRect cmdclear{4800, 1920, 1095, 615};
    // Entry box i stands in column i / 3 and row i % 3.
    TwipsRect firstEntry{1320, 120, 735, 375};
    int columnStep = 960;
    int rowStep = 600;
    int rows = 3;

    constexpr TwipsRect entry(int index) const {
        return {firstEntry.left + index / rows * columnStep,
                firstEntry.top + index % rows * rowStep, firstEntry.width, firstEntry.height};
    }
};
constexpr Layout kLayout;

const QString kNote = QStringLiteral(
    "      The RPO codes in this program should be valid for any 1982 - 1992 Firebird or Camaro.  "
    "RPO codes used in this program have been compiled from various sources on the internet.  "
    "There may be some RPO codes not included in this program.");

} // namespace

RPO2::RPO2()
    : MainWindow(QStringLiteral("RPO2"), kLayout.client),
      locateTable_([] { return velmora::locateTable(); }), reportTableError_(showTableError) {
    Label1_ = place(new QLabel(kNote, client()), QStringLiteral("Label1"), kLayout.Label1);
    styleLabel(*Label1_, kWhite, kBlack);

    // Stored background gray; the standard button look does not show it.
    cmdlookup_ = place(new CommandButton(QStringLiteral("Search "), client()),
                       QStringLiteral("cmdlookup"), kLayout.cmdlookup);

    pic1_ = place(new DisplayBox(client()), QStringLiteral("pic1"), kLayout.pic1);
    pic1_->setAccessibleName(QStringLiteral("Search results"));

    for (int index = 0; index < kSlotCount; ++index) {
        auto* box = place(new EntryBox(client()), QStringLiteral("txtrpo%1").arg(index),
                          kLayout.entry(index));
        box->setAccessibleName(QStringLiteral("RPO code %1").arg(index + 1));
        connect(box, &EntryBox::codesPasted, this,
                [this, index](const QStringList& codes) { spreadCodes(index, codes); });
        txtrpo_[static_cast<std::size_t>(index)] = box;
    }

    cmdclear_ = place(new CommandButton(QStringLiteral("Clear"), client()),
                      QStringLiteral("cmdclear"), kLayout.cmdclear);

    // The display box takes its turn between the first and second entry boxes.
    QWidget* previous = cmdlookup_;
    const auto follow = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    follow(txtrpo_[0]);
    follow(pic1_);
    for (int index = 1; index < kSlotCount; ++index) {
        follow(txtrpo_[static_cast<std::size_t>(index)]);
    }
    follow(cmdclear_);
    cmdlookup_->setFocus();

    connect(cmdlookup_, &QPushButton::clicked, this, &RPO2::RPO2_cmdlookup_Click);
    connect(cmdclear_, &QPushButton::clicked, this, &RPO2::RPO2_cmdclear_Click);
    connect(menu().nexit, &QAction::triggered, this, &RPO2::RPO2_nexit_Click);
    connect(menu().nhelp2, &QAction::triggered, this, &RPO2::RPO2_nhelp2_Click);
}

void RPO2::RPO2_cmdlookup_Click() {
    if (const auto failure = rpomodule::search(slots_, locateTable_())) {
        reportTableError_(*this, *failure);
    }
}

void RPO2::RPO2_cmdclear_Click() {
    rpomodule::clearEntries(slots_);
}

void RPO2::RPO2_nexit_Click() {
    Windows::endProgram();
}

void RPO2::RPO2_nhelp2_Click() {
    Windows::show(Windows::help());
}

void RPO2::showTableError(QWidget& parent, const TableError& error) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Velmora"),
                    QString::fromStdString(error.describe()), QMessageBox::Ok, &parent);
    box.setInformativeText(QString::fromStdString(error.advice()));
    box.exec();
}

void RPO2::spreadCodes(int firstBox, const QStringList& codes) {
    int index = firstBox;
    for (const QString& code : codes) {
        if (index == kSlotCount) {
            break;
        }
        txtrpo_[static_cast<std::size_t>(index++)]->setText(code);
    }
    txtrpo_[static_cast<std::size_t>(index - 1)]->setFocus();
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
    window_.pic1()->printLine(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace velmora::ui
