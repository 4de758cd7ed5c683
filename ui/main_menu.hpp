#pragma once

class QAction;
class QMainWindow;
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

MainMenu buildMainMenu(QMainWindow& window);

} // namespace velmora::ui
