#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <QAbstractScrollArea>
#include <QAnyStringView>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QTimer>
#include <unordered_map>
#include <vector>

class QFontMetricsF;

namespace velmora::ui {

// The lines printed into the display box, held once each. A line printed again right after
// itself (the search prints one record once for every box that holds its code) only counts up:
// its text is not stored again. The text lives in a few large blocks rather than one allocation
// a line, so a result of a great many short lines costs little more than its characters.
class PrintedLines {
public:
    void clear();
    // Returns true when the line was stored as new text, false when it repeats the last one.
    // Text in UTF-8 is compared as it is and converted only when it is new.
    bool append(QAnyStringView line);

    qint64 count() const { return count_; }
    QStringView line(qint64 index) const;

    // Runs of equal lines, in print order: the text of each run is stored once.
    struct Run {
        qint64 firstLine = 0;
        const char16_t* text = nullptr;
        qsizetype size = 0;
        QStringView view() const { return {text, size}; }
    };
    const std::deque<Run>& runs() const { return runs_; }
    qint64 repeats(std::size_t run) const;
    // The run that holds line `index` (0 <= index < count()).
    std::size_t runOf(qint64 index) const;

private:
    const char16_t* store(QStringView text);

    std::deque<Run> runs_;
    // Each block is filled up to its capacity and never grows, so the text in it stays put.
    std::vector<std::vector<char16_t>> blocks_;
    // The block that short lines are added to (blocks_.size() when there is none yet).
    std::size_t sharedBlock_ = 0;
    qint64 count_ = 0;
};

// How wide text is in one font, measured a character at a time from cached advances, so that a
// line of millions of characters is measured without laying it out. Advances are in 64ths of a
// pixel, as the font lays text out, so that a sum over many characters does not drift from where
// the text stands. For most characters the sum is exact; for scripts whose letters join it is
// close enough to place a scroll bar.
class LineMeasure {
public:
    static constexpr int kUnitsPerPixel = 64;

    void reset() {
        latin1_.fill(0);
        others_.clear();
    }
    // The advance of the character at `index`, in 64ths of a pixel and at least one pixel, and
    // in `length` how many UTF-16 units it takes (a surrogate pair is one character).
    int advanceAt(const QFontMetricsF& metrics, QStringView text, qsizetype index,
                  qsizetype& length) {
        const char16_t unit = text[index].unicode();
        if (unit < latin1_.size() && latin1_[unit] != 0) {
            length = 1;
            return latin1_[unit];
        }
        return measureAt(metrics, text, index, length);
    }

private:
    int measureAt(const QFontMetricsF& metrics, QStringView text, qsizetype index,
                  qsizetype& length);

    std::array<int, 256> latin1_{};
    QHash<char32_t, int> others_;
};

// The gray display box. The search clears it and prints lines into it from the top left; it
// keeps them, so a repaint draws them again, and scroll bars appear only when lines go past its
// bottom or right edge. Painting looks only at what shows: the lines in view and, of a long line,
// the characters in the visible columns, so neither a great many lines nor a line of megabytes
// slows it down. Copy gives every line whole. Actions added to the box
// (addAction) follow Copy in its context menu.
class DisplayBox : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit DisplayBox(QWidget* parent);

    void clear();
    void printLine(QAnyStringView line);

    qint64 lineCount() const { return lines_.count(); }
    QString line(qint64 index) const { return lines_.line(index).toString(); }
    // Every line, each a copy: for a result of ordinary size.
    std::vector<QString> lines() const;
    // The lines as plain text, one a line, as Copy puts them on the clipboard.
    QString text() const;
    int lineHeight() const;
    void copy() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where a long line's characters stand: every so many characters, the index and the x of its
    // left edge, in 64ths of a pixel. Painting starts from the nearest one left of the view.
    struct Checkpoint {
        qsizetype index = 0;
        qint64 x = 0;
    };

    void scheduleScrollBarUpdate();
    void updateScrollBars();
    void measure(std::size_t run);
    void drawLine(QPainter& painter, std::size_t run, int baseline);
    void drawFocusMark(QPainter& painter);
    void scrollTo(bool end);

    PrintedLines lines_;
    qint64 widest_ = 0;
    LineMeasure measure_;
    std::unordered_map<std::size_t, std::vector<Checkpoint>> longLines_;
    QTimer scrollBarUpdate_;
};

} // namespace velmora::ui
