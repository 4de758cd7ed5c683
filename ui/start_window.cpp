#include "ui/start_window.hpp"

#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/picture_box.hpp"
#include "ui/windows.hpp"

#include <QLabel>

namespace velmora::ui {

RPO::RPO()
    : MainWindow(forms::kStartForm), controls_(forms::kStartForm, *client(), applicationPort()) {
    bindMenus(applicationPort());
    // The banner takes the first focus, so Enter presses nothing until Tab.
    controls_.focusFirst();
}

PictureBox* RPO::Picture1() const {
    return controls_.get<PictureBox>("Picture1");
}

CommandButton* RPO::cmdlookup() const {
    return controls_.get<CommandButton>("cmdlookup");
}

QLabel* RPO::Label1() const {
    return controls_.get<QLabel>("Label1");
}

} // namespace velmora::ui
