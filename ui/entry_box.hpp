#pragma once

#include <QLineEdit>

class QAction;
class QMenu;

namespace velmora::ui {

// One of the fifteen entry boxes: at most three characters, counted as code points. Whatever is
// pasted into it (keyboard, context menu, middle click, drop) is handed to the window as
// textPasted, to spread over the boxes. It draws a sunken edge that shows on the black window.
class EntryBox : public QLineEdit {
    Q_OBJECT

public:
    EntryBox(int maxCharacters, QWidget* parent);

signals:
    void textPasted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// The Paste entry of a line edit's standard context menu, or nullptr.
QAction* findPasteAction(const QMenu& menu);

} // namespace velmora::ui
