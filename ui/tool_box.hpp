#pragma once

#include "forms/form.hpp"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

// A small modeless box of the lookup window in which the user types what one of its tools runs on:
// the words to find, the codes of a label. It only collects the text: the window runs the tool and
// prints into its display box. It stays open beside that window, keeping its text, until Close (or
// Escape) hides it. Its caption, size, controls and tool are its form's.
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
