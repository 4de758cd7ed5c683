#pragma once

#include "core/commands.hpp"

class QWidget;

namespace velmora::ui {

class RPO;
class RPO2;
class helpform;

// The three windows, each a single instance for the whole program, created on first use and
// kept, shown or hidden, until the program ends. None has an owner; each is shown modeless.
namespace Windows {

RPO& rpo();
RPO2& rpo2();
helpform& help();
// The window of that id, created if need be.
QWidget& window(WindowId id);

bool rpoExists();
bool rpo2Exists();
bool helpExists();

// Makes the window visible, brings it to the front and activates it.
void show(QWidget& window);
void hide(QWidget& window);

// Ends the program at once: every window goes, nothing is asked.
void endProgram();

// Destroys the windows that exist; the program's last step, and a fresh start for tests.
void releaseAll();

} // namespace Windows

// The commands' way to the Qt windows: the program's single window instances, the lookup
// window's slots and reports, and a busy cursor while a search runs. The lookup window hands its
// own slots and reports to the commands through a port of its own (RPO2::LookupPort).
class ApplicationPort : public WindowPort {
public:
    void show(WindowId window) override;
    void hide(WindowId window) override;
    void endProgram() override;
    EntrySlots& lookupSlots() override;
    std::filesystem::path tablePath() override;
    void setBusy(bool busy) override;
    void reportTableError(const TableError& error) override;
    void reportOutOfMemory() override;
};

// The port through which the start and help windows run their commands.
WindowPort& applicationPort();

// The font every text of the program is drawn in: the platform's default at 8 point, regular.
void applyProgramFont();

} // namespace velmora::ui
