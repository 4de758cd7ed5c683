#pragma once

#include <QLineEdit>

class QAction;
class QMenu;

namespace velmora::ui {

// One of the fifteen entry boxes: at most three characters of any kind, counted as characters
// (code points), so a character is never cut in half. Whatever is pasted into it, by the
// keyboard, the context menu, the X11 selection (middle click) or a drop, is handed to the
// window as textPasted, which decides whether it goes into this box or is spread over the ones
// after it. The box draws a sunken edge that shows on the black window.
class EntryBox : public QLineEdit {
    Q_OBJECT

public:
    EntryBox(int maxCharacters, QWidget* parent);

    int maxCharacters() const { return maxCharacters_; }

signals:
    void textPasted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int maxCharacters_;
};

// The Paste entry of a line edit's standard context menu, or nullptr.
QAction* findPasteAction(const QMenu& menu);

} // namespace velmora::ui
