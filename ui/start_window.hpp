#pragma once

#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The start window: the banner, one line on what the program does, and "Look up RPO Codes".
class StartWindow : public MainWindow {
    Q_OBJECT

public:
    explicit StartWindow(WindowPort& port);

    PictureBox* banner() const;
    CommandButton* lookUpButton() const;
    QLabel* note() const;

private:
    FormControls controls_;
};

} // namespace velmora::ui
