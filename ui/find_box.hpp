#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace velmora::ui {

// The small modeless box in which the user types the words to find in the table's descriptions.
// It only collects the words: the window it belongs to runs the find and prints into its display
// box. It stays open beside that window, keeping its words, until Close (or Escape) hides it.
// Its caption, size, controls and place are the find form's (forms::kFindForm).
class FindBox : public QDialog {
    Q_OBJECT

public:
    explicit FindBox(QWidget* parent);

    QLineEdit* words() const { return words_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* closeButton() const { return close_; }

    // Shows the box, or brings it to the front, with its words selected for typing over.
    void present();

signals:
    void findRequested(const QString& words);

private:
    QLineEdit* words_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* close_ = nullptr;
    bool placed_ = false;
};

} // namespace velmora::ui
