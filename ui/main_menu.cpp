#include "main_menu.hpp"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace velmora::ui {

MainMenu buildMainMenu(QMainWindow& window) {
    MainMenu menu{};
    menu.nfile = window.menuBar()->addMenu(QStringLiteral("&File"));
    menu.nfile->setObjectName(QStringLiteral("nfile"));
    menu.nexit = menu.nfile->addAction(QStringLiteral("Exit"));
    menu.nexit->setObjectName(QStringLiteral("nexit"));
    menu.nexit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    menu.nhelp = window.menuBar()->addMenu(QStringLiteral("&Help"));
    menu.nhelp->setObjectName(QStringLiteral("nhelp"));
    menu.nhelp2 = menu.nhelp->addAction(QStringLiteral("Help"));
    menu.nhelp2->setObjectName(QStringLiteral("nhelp2"));
    return menu;
}

} // namespace velmora::ui
