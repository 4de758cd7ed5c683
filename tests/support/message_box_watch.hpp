#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTimer>

// Answers the message box the code under test is about to show, looking every few milliseconds;
// when none has shown in time it closes any open dialog, so a missing box fails, never hangs.
class MessageBoxWatch : public QObject {
public:
    explicit MessageBoxWatch(int timeoutMilliseconds = 5000) : timeout_(timeoutMilliseconds) {
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, &MessageBoxWatch::look);
        timer_.start(10);
    }

    bool seen() const { return seen_; }
    // The box's text and its informative text, one after the other.
    const QString& text() const { return text_; }

private:
    void look() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                seen_ = true;
                text_ = box->text() + '\n' + box->informativeText();
                timer_.stop();
                box->accept();
                return;
            }
        }
        if (clock_.elapsed() > timeout_) {
            timer_.stop();
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
                    dialog->reject();
                }
            }
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    int timeout_;
    bool seen_ = false;
    QString text_;
};
