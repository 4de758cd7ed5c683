#pragma once

#include "ui/form_controls.hpp"
#include "ui/windows.hpp"

#include <QWidget>

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The help window: the help picture, three notes between separator lines, "Close Help Box".
class helpform : public QWidget {
    Q_OBJECT

public:
    helpform();

    PictureBox* Picture1() const;
    QLabel* Label1() const;
    QLabel* Label2() const;
    QLabel* Label3() const;
    CommandButton* Command1() const;

public slots:
    // The window's command, as its button runs it.
    void helpform_Command1_Click() { commands::helpform_Command1_Click(applicationPort()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FormControls controls_;
};

} // namespace velmora::ui
