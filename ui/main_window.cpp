#include "main_window.hpp"

#include "window_look.hpp"
#include "windows.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

namespace velmora::ui {

MainWindow::MainWindow(const QString& name, TwipsSize clientSize) {
    setObjectName(name);
    setWindowTitle(QStringLiteral("3rd Generation F-body Velmora"));
    setTitleBarControls(*this, false);

    auto* area = new QWidget(this);
    setBackground(*area, kBlack);
    setCentralWidget(area);

    menu_.nfile = menuBar()->addMenu(QStringLiteral("&File"));
    menu_.nfile->setObjectName(QStringLiteral("nfile"));
    menu_.nexit = menu_.nfile->addAction(QStringLiteral("Exit"));
    menu_.nexit->setObjectName(QStringLiteral("nexit"));
    menu_.nexit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    menu_.nhelp = menuBar()->addMenu(QStringLiteral("&Help"));
    menu_.nhelp->setObjectName(QStringLiteral("nhelp"));
    menu_.nhelp2 = menu_.nhelp->addAction(QStringLiteral("Help"));
    menu_.nhelp2->setObjectName(QStringLiteral("nhelp2"));

    resize(clientSize.pixels() + QSize(0, menuBar()->sizeHint().height()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Windows::endProgram();
}

} // namespace velmora::ui
