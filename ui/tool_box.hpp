#pragma once

#include "forms/form.hpp"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

// A small modeless box, made from its form, in which the user types what one of the lookup window's
// tools runs on (words to find, a label's codes); the window runs the tool. It stays open beside
// that window until Close or Escape hides it, keeping its text.
class ToolBox : public QDialog {
    Q_OBJECT

public:
    ToolBox(const forms::ToolForm& form, QWidget* parent);

    QLineEdit* text() const { return text_; }
    QPushButton* runButton() const { return run_; }
    QPushButton* closeButton() const { return close_; }

    // Shows the box, or brings it to the front, with its text selected for typing over.
    void present();

signals:
    void runRequested(const QString& text);

private:
    QLineEdit* text_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* close_ = nullptr;
    bool placed_ = false;
};

} // namespace velmora::ui
