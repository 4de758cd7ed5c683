#pragma once

#include "ui/command_button.hpp"
#include "ui/form_controls.hpp"
#include "ui/main_window.hpp"
#include "ui/picture_box.hpp"

#include <QLabel>

namespace velmora::ui {

// The start window: the banner, one line on what the program does, and "Look up RPO Codes".
class StartWindow : public MainWindow {
    Q_OBJECT

public:
    explicit StartWindow(WindowPort& port);

    PictureBox* banner() const { return controls_.get<PictureBox>("Picture1"); }
    CommandButton* lookUpButton() const { return controls_.get<CommandButton>("cmdlookup"); }
    QLabel* note() const { return controls_.get<QLabel>("Label1"); }

private:
    FormControls controls_;
};

} // namespace velmora::ui
