#pragma once

#include "twips.hpp"

#include <QMainWindow>

class QAction;
class QMenu;

namespace velmora::ui {

// The menu bar that both main windows carry, each its own copy: File > Exit (Ctrl+Q) and
// Help > Help.
struct MainMenu {
    QMenu* nfile;
    QAction* nexit;
    QMenu* nhelp;
    QAction* nhelp2;
};

// What the start and lookup windows share: their caption, a frame whose maximize is disabled, the
// menus, and a black client area of the given size in which the controls keep their places.
// Either is the main window while it shows, so closing it ends the program, as Exit does, rather
// than leave a process with no window.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    QWidget* client() const { return centralWidget(); }
    const MainMenu& menu() const { return menu_; }

protected:
    MainWindow(const QString& name, TwipsSize clientSize);
    void closeEvent(QCloseEvent* event) override;

private:
    MainMenu menu_{};
};

} // namespace velmora::ui
