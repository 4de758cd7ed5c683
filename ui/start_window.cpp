#include "ui/start_window.hpp"

#include "forms/forms.hpp"

namespace velmora::ui {

StartWindow::StartWindow(WindowPort& port)
    : MainWindow(forms::kStartForm, port), controls_(forms::kStartForm, *client(), port) {
    // The banner takes the first focus, so Enter presses nothing until Tab.
    controls_.focusFirst();
}

} // namespace velmora::ui
