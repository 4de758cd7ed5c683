#pragma once

#include <array>
#include <QAbstractScrollArea>
#include <QString>
#include <QTimer>
#include <vector>

namespace velmora::ui {

// The gray display box. The search clears it and prints lines into it from the top left; it
// keeps them, so a repaint draws them again, and scroll bars appear only when lines go past its
// bottom or right edge. Painting looks only at the lines that show, so a search with a great
// many lines is printed first and then shown at once. Actions added to the box (addAction) follow
// Copy in its context menu.
class DisplayBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit DisplayBox(QWidget* parent);

    void clear();
    void printLine(const QString& line);

    const std::vector<QString>& lines() const { return lines_; }
    // The lines as plain text, one a line, as Copy puts them on the clipboard.
    QString text() const;
    int lineHeight() const;
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void scheduleScrollBarUpdate();
    void updateScrollBars();
    int lineCount() const;
    int widthOf(const QString& line);

    std::vector<QString> lines_;
    int widest_ = 0;
    // The advance of each Latin-1 character in the box's font (0: not measured yet). A line made
    // of them is measured by adding these up instead of laying it out: a search may print a
    // hundred thousand lines, and only the widest one matters, to the horizontal scroll bar.
    std::array<int, 256> advances_{};
    QTimer scrollBarUpdate_;
};

} // namespace velmora::ui
