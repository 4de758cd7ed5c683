#pragma once

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

// The font every text of the program is drawn in: the platform's default at 8 point, regular.
void applyProgramFont();

} // namespace velmora::ui
