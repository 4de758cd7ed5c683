#include "ui/start_window.hpp"

#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/picture_box.hpp"

#include <QLabel>

namespace velmora::ui {

StartWindow::StartWindow(WindowPort& port)
    : MainWindow(forms::kStartForm, port), controls_(forms::kStartForm, *client(), port) {
    // The banner takes the first focus, so Enter presses nothing until Tab.
    controls_.focusFirst();
}

PictureBox* StartWindow::banner() const {
    return controls_.get<PictureBox>("Picture1");
}

CommandButton* StartWindow::lookUpButton() const {
    return controls_.get<CommandButton>("cmdlookup");
}

QLabel* StartWindow::note() const {
    return controls_.get<QLabel>("Label1");
}

} // namespace velmora::ui
