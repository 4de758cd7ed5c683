#pragma once

#include <QPushButton>

namespace velmora::ui {

// A push button that Enter presses as well as Space, that shows its focus mark however it got
// the focus, and that is never a default button.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    CommandButton(const QString& caption, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void initStyleOption(QStyleOptionButton* option) const override;
};

} // namespace velmora::ui
