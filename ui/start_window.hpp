#pragma once

#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"
#include "ui/windows.hpp"

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The start window: the banner, one line on what the program does, and "Look up RPO Codes".
class RPO : public MainWindow {
    Q_OBJECT

public:
    RPO();

    PictureBox* Picture1() const;
    CommandButton* cmdlookup() const;
    QLabel* Label1() const;

public slots:
    // The window's commands, as its controls and menus run them.
    void RPO_cmdlookup_Click() { commands::RPO_cmdlookup_Click(applicationPort()); }
    void RPO_nexit_Click() { commands::RPO_nexit_Click(applicationPort()); }
    void RPO_nhelp2_Click() { commands::RPO_nhelp2_Click(applicationPort()); }

private:
    FormControls controls_;
};

} // namespace velmora::ui
