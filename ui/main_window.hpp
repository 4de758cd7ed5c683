#pragma once

#include "core/commands.hpp"
#include "forms/form.hpp"

#include <QMainWindow>

class QAction;

namespace velmora::ui {

// The menu bar that both main windows carry, each its own copy: File > Exit (Ctrl+Q) and
// Help > Help, which is reached here.
struct MainMenu {
    QAction* showHelp;
};

// What the start and lookup windows share, made from their form: the frame, the menus, and a
// client area of the form's size and colour. Closing either does what its form says (it ends
// the program, as Exit does) rather than leave a process with no window.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    QWidget* client() const { return centralWidget(); }
    const MainMenu& menu() const { return menu_; }

protected:
    // Each menu entry runs its command through `port`.
    MainWindow(const forms::Form& form, WindowPort& port);
    void closeEvent(QCloseEvent* event) override;

private:
    const forms::Form& form_;
    WindowPort& port_;
    MainMenu menu_{};
};

} // namespace velmora::ui
