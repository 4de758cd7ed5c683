#pragma once

#include "core/commands.hpp"

#include <filesystem>
#include <QPointer>
#include <utility>

class QWidget;

namespace velmora::ui {

class HelpWindow;
class LookupWindow;
class StartWindow;

// The program on Qt: the three windows, each a single modeless instance without an owner, made on
// first use and kept until the program ends, and the command table's port over them. The tests
// and tools derive from it to read another table or to hear of a failed search without a box.
class Application : public WindowPort {
public:
    // Searches find RPO.txt where the program looks for it, or read `table` when one is given
    // (the benchmark and the picture painter).
    explicit Application(std::filesystem::path table = {}) : table_(std::move(table)) {}
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    Application(Application&&) = delete;
    Application& operator=(Application&&) = delete;
    ~Application() override;

    StartWindow& startWindow();
    LookupWindow& lookupWindow();
    HelpWindow& helpWindow();
    // The window of that id, made if need be.
    QWidget& window(WindowId id);
    // Whether the window has been made and not destroyed since (closing the help window
    // destroys it).
    bool exists(WindowId id) const;
    // Destroys the windows that exist; the program's last step, and a fresh start for tests.
    void releaseAll();

    void show(WindowId window) override;
    void hide(WindowId window) override;
    void endProgram() override;
    EntrySlots& lookupSlots() override;
    // RPO.txt in the current folder, beside the program, then in the installed data folder.
    std::filesystem::path tablePath() override;
    void setBusy(bool busy) override;
    // A message box over the lookup window.
    void reportTableError(const TableError& error) override;
    void reportOutOfMemory() override;

private:
    std::filesystem::path table_;
    QPointer<StartWindow> start_;
    QPointer<LookupWindow> lookup_;
    QPointer<HelpWindow> help_;
};

} // namespace velmora::ui
