#pragma once

#include "core/printed_lines.hpp"

#include <cstdint>
#include <QAbstractScrollArea>
#include <QAnyStringView>
#include <QString>
#include <QTimer>
#include <vector>

namespace velmora::ui {

// The gray display box. The search clears it and prints lines into it from the top left; it keeps
// them for repaints, with scroll bars only when lines go past its bottom or right edge. It paints
// only what shows, so neither a great many lines nor a line of megabytes slows it down. Copy gives
// every line whole; actions added to the box (addAction) follow Copy in its context menu.
class DisplayBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit DisplayBox(QWidget* parent);

    void clear();
    void printLine(QAnyStringView line);

    qint64 lineCount() const { return lines_.count(); }
    QString line(qint64 index) const;
    // Every line, each a copy: for a result of ordinary size.
    std::vector<QString> lines() const;
    // The lines as plain text, one a line, as Copy puts them on the clipboard.
    QString text() const;
    int lineHeight() const { return lines_.lineHeight(); }
    void copy() const;
    // Counts the clears and prints, so that a copy of the text can tell it is out of date.
    std::uint64_t changes() const { return changes_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void takeFont();
    void updateScrollBars();

    PrintedLines lines_;
    // The scroll bars are set once after a run of prints, not at every line.
    QTimer scrollBarUpdate_;
    std::uint64_t changes_ = 0;
    // The changes a screen reader has been told of.
    std::uint64_t announced_ = 0;
};

} // namespace velmora::ui
