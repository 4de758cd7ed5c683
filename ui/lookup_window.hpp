#pragma once

#include "main_window.hpp"
#include "search.hpp"

#include <array>
#include <filesystem>
#include <functional>
class QLabel;

namespace velmora::ui {

class CommandButton;
class DisplayBox;
class EntryBox;
class FindBox;

// The lookup window: fifteen entry boxes, "Search " and "Clear", and the gray display box the
// search prints into. It only moves text between its controls and the search.
class RPO2 : public MainWindow {
    Q_OBJECT

public:
    using TableLocator = std::function<std::filesystem::path()>;
    using TableErrorReporter = std::function<void(QWidget& parent, const TableError& error)>;

    RPO2();

    EntryBox* txtrpo(int index) const { return txtrpo_.at(static_cast<std::size_t>(index)); }
    DisplayBox* pic1() const { return pic1_; }
    CommandButton* cmdlookup() const { return cmdlookup_; }
    CommandButton* cmdclear() const { return cmdclear_; }
    QLabel* Label1() const { return Label1_; }
    // Find by description: Ctrl+F, or the entry in the display box's context menu.
    QAction* findAction() const { return findAction_; }
    // The find box, once the find action has opened it; null before.
    FindBox* findBox() const { return findBox_; }

    // Where each search finds the table; by default RPO.txt in the current folder, beside the
    // program, then in the installed data folder.
    void setTableLocator(TableLocator locator) { locateTable_ = std::move(locator); }
    // How a table that cannot be read is shown; by default a message box.
    void setTableErrorReporter(TableErrorReporter reporter) {
        reportTableError_ = std::move(reporter);
    }
    static void showTableError(QWidget& parent, const TableError& error);

public slots:
    void RPO2_cmdlookup_Click();
    void RPO2_cmdclear_Click();
    void RPO2_nexit_Click();
    void RPO2_nhelp2_Click();
    void showFindBox();
    // Prints the records whose descriptions hold every one of `words` into the display box.
    void findByDescription(const QString& words);

private:
    // The entry boxes and display box as the search sees them.
    class Slots final : public EntrySlots {
    public:
        explicit Slots(RPO2& window) : window_(window) {}
        std::string entry(int slot) const override;
        void setEntry(int slot, const std::string& text) override;
        void clearDisplay() override;
        void printLine(std::string_view line) override;

    private:
        RPO2& window_;
    };

    void spreadCodes(int firstBox, const QStringList& codes);

    QLabel* Label1_;
    CommandButton* cmdlookup_;
    DisplayBox* pic1_;
    std::array<EntryBox*, kSlotCount> txtrpo_{};
    CommandButton* cmdclear_;
    QAction* findAction_;
    FindBox* findBox_ = nullptr;
    Slots slots_{*this};
    TableLocator locateTable_;
    TableErrorReporter reportTableError_;
};

} // namespace velmora::ui
