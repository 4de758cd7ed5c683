#pragma once

#include "core/search.hpp"
#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"

class QAction;
class QLabel;

namespace velmora::ui {

class CommandButton;
class DisplayBox;
class EntryBox;
class FindBox;

// The lookup window: fifteen entry boxes, "Search " and "Clear", and the gray display box the
// search prints into. It only moves text between its controls and the commands.
class LookupWindow : public MainWindow {
    Q_OBJECT

public:
    explicit LookupWindow(WindowPort& port);

    EntryBox* entryBox(int index) const;
    DisplayBox* displayBox() const;
    CommandButton* searchButton() const;
    CommandButton* clearButton() const;
    QLabel* note() const;
    // What the last paste left out; empty when it left out nothing, or once the user changes a
    // box, clicks in the window or presses a button.
    QLabel* pasteNote() const;
    // Find by description: Ctrl+F, or the entry in the display box's context menu.
    QAction* findAction() const { return findAction_; }
    // The find box, once the find action has opened it; null before.
    FindBox* findBox() const { return findBox_; }
    // The entry boxes and display box as the search sees them.
    EntrySlots& searchSlots() { return slots_; }

    // "Search " and "Clear", as their buttons run them.
    void search() { commands::search(port_); }
    void clear() { commands::clearEntries(port_); }
    void showFindBox();
    // Prints the records whose descriptions hold every one of `words` into the display box.
    void findByDescription(const QString& words);

private:
    class Slots final : public EntrySlots {
    public:
        explicit Slots(LookupWindow& window) : window_(window) {}
        std::string entry(int slot) const override;
        void setEntry(int slot, const std::string& text) override;
        void clearDisplay() override;
        void printLine(std::string_view line) override;

    private:
        LookupWindow& window_;
    };

    // Text pasted or dropped into entry box `index`: one code goes in as typed; several are
    // spread over it and the boxes after it, and those that find no box are named in a note.
    void pasteInto(int index, const QString& text);
    void showPasteNote(const QString& note) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    WindowPort& port_;
    QAction* findAction_ = nullptr;
    FindBox* findBox_ = nullptr;
    Slots slots_{*this};
    FormControls controls_;
};

} // namespace velmora::ui
