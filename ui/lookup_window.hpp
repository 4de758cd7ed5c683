#pragma once

#include "core/search.hpp"
#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"

#include <array>
#include <QLabel>

class QAction;

namespace velmora::ui {

class ToolBox;

// The lookup window: fifteen entry boxes, "Search " and "Clear", and the gray display box the
// search prints into. It only moves text between its controls and the commands.
class LookupWindow : public MainWindow {
    Q_OBJECT

public:
    explicit LookupWindow(WindowPort& port);

    EntryBox* entryBox(int index) const { return controls_.get<EntryBox>("txtrpo", index); }
    DisplayBox* displayBox() const { return controls_.get<DisplayBox>("pic1"); }
    CommandButton* searchButton() const { return controls_.get<CommandButton>("cmdlookup"); }
    CommandButton* clearButton() const { return controls_.get<CommandButton>("cmdclear"); }
    QLabel* note() const { return controls_.get<QLabel>("Label1"); }
    // What the last paste left out; empty when it left out nothing, or once the user changes a
    // box, clicks in the window or presses a button.
    QLabel* pasteNote() const { return controls_.get<QLabel>(forms::kPasteNote); }
    // A tool (find, decode a label, check the table): its shortcut, or its entry in the display
    // box's context menu.
    QAction* toolAction(ToolId tool) const { return toolActions_.at(toolIndex(tool)); }
    // A tool's box, once its action has opened it; null before, and for a tool without one.
    ToolBox* toolBox(ToolId tool) const { return toolBoxes_.at(toolIndex(tool)); }
    // The entry boxes and display box as the search sees them.
    EntrySlots& searchSlots() { return slots_; }

    // "Search ", as its button runs it.
    void search() { commands::search(port_); }
    // Opens the tool's box, or runs the tool at once when it has none.
    void openTool(ToolId tool);

private:
    class Slots final : public EntrySlots {
    public:
        explicit Slots(LookupWindow& window) : window_(window) {}
        std::string entry(int slot) const override;
        void setEntry(int slot, const std::string& text) override;
        void clearDisplay() override { window_.displayBox()->clear(); }
        void printLine(std::string_view line) override;

    private:
        LookupWindow& window_;
    };

    // Text pasted or dropped into entry box `index`: one code goes in as typed; several are
    // spread over it and the boxes after it, and those that find no box are named in a note.
    void pasteInto(int index, const QString& text);
    void showPasteNote(const QString& note) const;
    bool eventFilter(QObject* watched, QEvent* event) override;

    static std::size_t toolIndex(ToolId tool) { return static_cast<std::size_t>(tool); }

    WindowPort& port_;
    std::array<QAction*, forms::kLookupTools.size()> toolActions_{};
    std::array<ToolBox*, forms::kLookupTools.size()> toolBoxes_{};
    Slots slots_{*this};
    FormControls controls_;
};

} // namespace velmora::ui
