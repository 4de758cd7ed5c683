#pragma once

#include "core/search.hpp"
#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"
#include "ui/windows.hpp"

#include <filesystem>
#include <functional>

class QAction;
class QLabel;

namespace velmora::ui {

class CommandButton;
class DisplayBox;
class EntryBox;
class FindBox;

// The lookup window: fifteen entry boxes, "Search " and "Clear", and the gray display box the
// search prints into. It only moves text between its controls and the commands.
class RPO2 : public MainWindow {
    Q_OBJECT

public:
    using TableLocator = std::function<std::filesystem::path()>;
    using TableErrorReporter = std::function<void(QWidget& parent, const TableError& error)>;
    using OutOfMemoryReporter = std::function<void(QWidget& parent)>;

    RPO2();

    EntryBox* txtrpo(int index) const;
    DisplayBox* pic1() const;
    CommandButton* cmdlookup() const;
    CommandButton* cmdclear() const;
    QLabel* Label1() const;
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
    // How a search that ran out of memory is shown; by default a message box.
    void setOutOfMemoryReporter(OutOfMemoryReporter reporter) {
        reportOutOfMemory_ = std::move(reporter);
    }
    static void showTableError(QWidget& parent, const TableError& error);
    static void showOutOfMemory(QWidget& parent);

    // The port through which this window's commands reach its slots and reports.
    WindowPort& port() { return port_; }

public slots:
    // The window's commands, as its controls and menus run them.
    void RPO2_cmdlookup_Click() { commands::RPO2_cmdlookup_Click(port_); }
    void RPO2_cmdclear_Click() { commands::RPO2_cmdclear_Click(port_); }
    void RPO2_nexit_Click() { commands::RPO2_nexit_Click(port_); }
    void RPO2_nhelp2_Click() { commands::RPO2_nhelp2_Click(port_); }
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

    class LookupPort final : public ApplicationPort {
    public:
        explicit LookupPort(RPO2& window) : window_(window) {}
        EntrySlots& lookupSlots() override { return window_.slots_; }
        std::filesystem::path tablePath() override { return window_.locateTable_(); }
        void reportTableError(const TableError& error) override {
            window_.reportTableError_(window_, error);
        }
        void reportOutOfMemory() override { window_.reportOutOfMemory_(window_); }

    private:
        RPO2& window_;
    };

    // Text pasted or dropped into entry box `index`: one code goes in as typed; several are
    // spread over it and the boxes after it, and those that find no box are named in a note.
    void pasteInto(int index, const QString& text);
    void showPasteNote(EntryBox& box, const QString& note);

    QAction* findAction_ = nullptr;
    FindBox* findBox_ = nullptr;
    Slots slots_{*this};
    LookupPort port_{*this};
    TableLocator locateTable_;
    TableErrorReporter reportTableError_;
    OutOfMemoryReporter reportOutOfMemory_;
    FormControls controls_;
};

} // namespace velmora::ui
