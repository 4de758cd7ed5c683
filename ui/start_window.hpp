#pragma once

#include "main_menu.hpp"

#include <QMainWindow>

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The start window: the banner, one line on what the program does, and "Look up RPO Codes".
class RPO : public QMainWindow {
    Q_OBJECT

public:
    RPO();

    QWidget* client() const { return centralWidget(); }
    PictureBox* Picture1() const { return Picture1_; }
    CommandButton* cmdlookup() const { return cmdlookup_; }
    QLabel* Label1() const { return Label1_; }
    const MainMenu& menu() const { return menu_; }

public slots:
    void RPO_cmdlookup_Click();
    void RPO_nexit_Click();
    void RPO_nhelp2_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainMenu menu_{};
    PictureBox* Picture1_;
    CommandButton* cmdlookup_;
    QLabel* Label1_;
};

} // namespace velmora::ui
