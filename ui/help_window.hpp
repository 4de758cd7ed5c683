#pragma once

#include <QWidget>

class QLabel;

namespace velmora::ui {

class CommandButton;
class PictureBox;

// The help window: the help picture, three notes between separator lines, "Close Help Box".
class helpform : public QWidget {
    Q_OBJECT

public:
    helpform();

    PictureBox* Picture1() const { return Picture1_; }
    QLabel* Label1() const { return Label1_; }
    QLabel* Label2() const { return Label2_; }
    QLabel* Label3() const { return Label3_; }
    CommandButton* Command1() const { return Command1_; }

public slots:
    void helpform_Command1_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureBox* Picture1_;
    QLabel* Label1_;
    QLabel* Label2_;
    QLabel* Label3_;
    CommandButton* Command1_;
};

} // namespace velmora::ui
