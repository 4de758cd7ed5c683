#include "start_window.hpp"

#include "assets.hpp"
#include "command_button.hpp"
#include "help_window.hpp"
#include "lookup_window.hpp"
#include "picture_box.hpp"
#include "twips.hpp"
#include "window_look.hpp"
#include "windows.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

namespace velmora::ui {
namespace {

struct Layout {
    TwipsSize client{6495, 6240};
    TwipsRect Picture1{0, 120, 6495, 4455};
    TwipsRect cmdlookup{2280, 4680, 2055, 615};
    TwipsRect Label1{600, 5640, 5295, 375};
};
constexpr Layout kLayout;

} // namespace

RPO::RPO() {
    setObjectName(QStringLiteral("RPO"));
    setWindowTitle(QStringLiteral("3rd Generation F-body Velmora"));
    setWindowIcon(assets::programIcon());
    setTitleBarControls(*this, false);

    auto* area = new QWidget(this);
    setBackground(*area, kBlack);
    setCentralWidget(area);
    menu_ = buildMainMenu(*this);

    // Built in tab order: the banner takes the first focus, so Enter presses nothing until Tab.
    Picture1_ = new PictureBox(assets::banner(), area);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setAccessibleName(QStringLiteral("Banner"));
    Picture1_->setGeometry(kLayout.Picture1.pixels());

    // Stored background: system colour 10; the standard button look does not show it.
    cmdlookup_ = new CommandButton(QStringLiteral("Look up RPO Codes"), area);
    cmdlookup_->setObjectName(QStringLiteral("cmdlookup"));
    cmdlookup_->setGeometry(kLayout.cmdlookup.pixels());

    Label1_ = new QLabel(
        QStringLiteral("This program searches RPO codes for 1982 - 1992 Firebirds and Camaros."),
        area);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(kLayout.Label1.pixels());
    styleLabel(*Label1_, kWhite, kBlack);

    setTabOrder(Picture1_, cmdlookup_);
    Picture1_->setFocus();
    resize(kLayout.client.pixels() + QSize(0, menuBar()->sizeHint().height()));

    connect(cmdlookup_, &QPushButton::clicked, this, &RPO::RPO_cmdlookup_Click);
    connect(menu_.nexit, &QAction::triggered, this, &RPO::RPO_nexit_Click);
    connect(menu_.nhelp2, &QAction::triggered, this, &RPO::RPO_nhelp2_Click);
}

void RPO::RPO_cmdlookup_Click() {
    Windows::hide(Windows::rpo());
    Windows::show(Windows::rpo2());
}

void RPO::RPO_nexit_Click() {
    Windows::endProgram();
}

void RPO::RPO_nhelp2_Click() {
    Windows::show(Windows::help());
}

// The start window is the main window while it shows: closing it ends the program, as Exit does,
// rather than leave a process with no window.
void RPO::closeEvent(QCloseEvent* event) {
    event->accept();
    Windows::endProgram();
}

} // namespace velmora::ui
