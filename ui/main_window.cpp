#include "ui/main_window.hpp"

#include "ui/form_controls.hpp"
#include "ui/qt_text.hpp"
#include "ui/twips.hpp"
#include "ui/window_look.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

namespace velmora::ui {

MainWindow::MainWindow(const forms::Form& form, WindowPort& port) : form_(form), port_(port) {
    applyFormFrame(*this, form);

    auto* area = new QWidget(this);
    setBackground(*area, form.background);
    setCentralWidget(area);

    for (const forms::Menu& title : form.menus) {
        QMenu* list = menuBar()->addMenu(toQString(title.caption));
        list->setObjectName(toQString(title.name));
        for (const forms::MenuEntry& entry : title.entries) {
            QAction* action = list->addAction(toQString(entry.caption));
            action->setObjectName(toQString(entry.name));
            if (!entry.shortcut.none()) {
                const auto key = static_cast<Qt::Key>(Qt::Key_A + (entry.shortcut.key - 'A'));
                action->setShortcut(entry.shortcut.ctrl ? QKeySequence(Qt::CTRL | key)
                                                        : QKeySequence(key));
            }
            const CommandId command = entry.command;
            connect(action, &QAction::triggered, this, [command, &port] { run(command, port); });
        }
    }
    // F10 reaches the menu bar, as in the platform's other programs.
    auto* toMenuBar = new QAction(this);
    toMenuBar->setShortcut(Qt::Key_F10);
    connect(toMenuBar, &QAction::triggered, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
    addAction(toMenuBar);
    menu_.showHelp = menuBar()->findChild<QAction*>(QStringLiteral("nhelp2"));

    const QSize size = toPixels(form.client) + QSize(0, menuBar()->sizeHint().height());
    // A window that cannot be maximized keeps its size, also under window managers that would
    // offer maximize whatever its hints say.
    if (form.canMaximize) {
        resize(size);
    } else {
        setFixedSize(size);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (form_.onClose == forms::CloseAction::EndProgram) {
        port_.endProgram();
    }
}

} // namespace velmora::ui
