#pragma once

#include "main_window.hpp"

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The start window: the banner, one line on what the program does, and "Look up RPO Codes".
class RPO : public MainWindow {
    Q_OBJECT

public:
    RPO();

    PictureBox* Picture1() const { return Picture1_; }
    CommandButton* cmdlookup() const { return cmdlookup_; }
    QLabel* Label1() const { return Label1_; }

public slots:
    void RPO_cmdlookup_Click();
    void RPO_nexit_Click();
    void RPO_nhelp2_Click();

private:
    PictureBox* Picture1_;
    CommandButton* cmdlookup_;
    QLabel* Label1_;
};

} // namespace velmora::ui
