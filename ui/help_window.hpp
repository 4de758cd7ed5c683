#pragma once

#include "core/commands.hpp"
#include "ui/command_button.hpp"
#include "ui/form_controls.hpp"

#include <QWidget>

class QLabel;

namespace velmora::ui {

// The help window: the help picture, four notes between separator lines, "Close Help Box".
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(WindowPort& port);

    // Note 1 to 4, top to bottom.
    QLabel* note(int number) const;
    CommandButton* closeButton() const { return controls_.get<CommandButton>("Command1"); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FormControls controls_;
    forms::HeightFit fit_;
};

} // namespace velmora::ui
