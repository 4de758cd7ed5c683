#include "start_window.hpp"

#include "assets.hpp"
#include "command_button.hpp"
#include "help_window.hpp"
#include "lookup_window.hpp"
#include "picture_box.hpp"
#include "twips.hpp"
#include "window_look.hpp"
#include "windows.hpp"

#include <QAction>
#include <QLabel>

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

RPO::RPO() : MainWindow(QStringLiteral("RPO"), kLayout.client) {
    setWindowIcon(assets::programIcon());

    // Built in tab order: the banner takes the first focus, so Enter presses nothing until Tab.
    Picture1_ = place(new PictureBox(assets::banner(), client()), QStringLiteral("Picture1"),
                      kLayout.Picture1);
    Picture1_->setAccessibleName(QStringLiteral("Banner"));

    // Stored background: system colour 10; the standard button look does not show it.
    cmdlookup_ = place(new CommandButton(QStringLiteral("Look up RPO Codes"), client()),
                       QStringLiteral("cmdlookup"), kLayout.cmdlookup);

    Label1_ = place(new QLabel(QStringLiteral("This program searches RPO codes for 1982 - 1992 "
                                              "Firebirds and Camaros."),
                               client()),
                    QStringLiteral("Label1"), kLayout.Label1);
    styleLabel(*Label1_, kWhite, kBlack);

    setTabOrder(Picture1_, cmdlookup_);
    Picture1_->setFocus();

    connect(cmdlookup_, &QPushButton::clicked, this, &RPO::RPO_cmdlookup_Click);
    connect(menu().nexit, &QAction::triggered, this, &RPO::RPO_nexit_Click);
    connect(menu().nhelp2, &QAction::triggered, this, &RPO::RPO_nhelp2_Click);
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

} // namespace velmora::ui
