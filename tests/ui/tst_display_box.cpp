#include "table_files.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QAccessible>
#include <QClipboard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;

namespace {

// A pixel of printed text: the box paints black on gray, so its glyphs hold pixels far darker
// than anything else it draws.
int inkIn(const QImage& image, const QRect& area) {
    int dark = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            dark += qGray(image.pixel(x, y)) < 48 ? 1 : 0;
        }
    }
    return dark;
}

} // namespace

class DisplayBoxTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    std::unique_ptr<DisplayBox> box_;

    // A box the size of the lookup window's, shown on its own and without the focus.
    DisplayBox& shownBox() {
        box_ = std::make_unique<DisplayBox>(nullptr);
        box_->resize(465, 241);
        box_->show();
        [&] {
            QVERIFY(QTest::qWaitForWindowExposed(box_.get()));
        }();
        box_->clearFocus();
        return *box_;
    }

    // The band of the viewport where the line `row` lines below the top of the view stands, less
    // the few pixels at each side where the focus mark may be.
    static QRect band(const DisplayBox& box, int row) {
        const int height = box.lineHeight();
        return {3, row * height, box.viewport()->width() - 6, height};
    }

    // The scroll bars are set after a run of prints, and shown or hidden after that.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
        }
    }

    static QImage picture(DisplayBox& box) {
        settle();
        return box.viewport()->grab().toImage();
    }

private slots:
    void initTestCase() { applyProgramFont(); }
    void cleanup() { box_.reset(); }

    void printedLinesLeaveInkWhereTheyStand() {
        DisplayBox& box = shownBox();
        const QImage empty = picture(box);
        QCOMPARE(inkIn(empty, empty.rect().adjusted(3, 3, -3, -3)), 0);

        for (int i = 0; i < 3; ++i) {
            box.printLine(QStringLiteral("WMW L98  5.7L V8, TPI"));
        }
        const QImage printed = picture(box);
        for (int row = 0; row < 3; ++row) {
            QVERIFY2(inkIn(printed, band(box, row)) > 20, qPrintable(QString::number(row)));
        }
        QCOMPARE(inkIn(printed, band(box, 3)), 0);
        // The text starts at the left edge: its first letter is in the first few columns.
        QVERIFY(inkIn(printed,
                      QRect(0, 0, box.fontMetrics().horizontalAdvance('W'), box.lineHeight())) > 0);
    }

    void scrollingMovesTheInk() {
        DisplayBox& box = shownBox();
        const int spaceWidth = box.fontMetrics().horizontalAdvance(' ');
        const int indent = 3 * box.viewport()->width() / spaceWidth;
        // One line of ink, far to the right, then enough empty lines to scroll.
        box.printLine(QString(indent, ' ') + QStringLiteral("HHHHHHHHHH"));
        for (int i = 0; i < 40; ++i) {
            box.printLine(QString());
        }
        QImage shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);

        box.horizontalScrollBar()->setValue(indent * spaceWidth);
        shown = picture(box);
        QVERIFY(inkIn(shown, band(box, 0)) > 20);
        QCOMPARE(inkIn(shown, band(box, 1)), 0);

        box.verticalScrollBar()->setValue(1);
        shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);
    }

    void aLongLineShowsTheColumnsInView() {
        DisplayBox& box = shownBox();
        const qreal spaceWidth = QFontMetricsF(box.font()).horizontalAdvance(' ');
        const qsizetype before = 200'000;
        const QString marks = QStringLiteral("HHHHHHHHHHHHHHHHHHHH");
        const QString line = QString(before, ' ') + marks + QString(before, ' ');
        box.printLine(line);
        QImage shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);
        QVERIFY(box.horizontalScrollBar()->maximum() + box.viewport()->width() >=
                qFloor(2 * static_cast<qreal>(before) * spaceWidth));

        const int marksAt = qRound(static_cast<qreal>(before) * spaceWidth);
        box.horizontalScrollBar()->setValue(marksAt - box.viewport()->width() / 2);
        shown = picture(box);
        const QRect leftHalf(0, 0, box.viewport()->width() / 2 - 2, box.lineHeight());
        const QRect rightHalf(box.viewport()->width() / 2, 0, box.viewport()->width() / 2 - 3,
                              box.lineHeight());
        QCOMPARE(inkIn(shown, leftHalf), 0);
        QVERIFY(inkIn(shown, rightHalf) > 20);

        box.horizontalScrollBar()->setValue(marksAt + 2 * box.viewport()->width());
        shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);

        QCOMPARE(box.text(), line + '\n');
    }

    // Letters outside Latin-1, and pairs of UTF-16 units, in a line too long to lay out whole.
    void aLongForeignLineIsMeasuredAndPainted() {
        DisplayBox& box = shownBox();
        const QString line =
            QString::fromUtf8("\xe2\x82\xac\xd0\x96\xf0\x9d\x90\x80 ").repeated(50'000);
        box.printLine(line);
        settle();
        QVERIFY(box.horizontalScrollBar()->maximum() > 50'000);
        for (const int at :
             {0, box.horizontalScrollBar()->maximum() / 2, box.horizontalScrollBar()->maximum()}) {
            box.horizontalScrollBar()->setValue(at);
            QVERIFY(inkIn(picture(box), band(box, 0)) > 20);
        }
        QCOMPARE(box.line(0), line);
    }

    void clearingReturnsToTheTopLeft() {
        DisplayBox& box = shownBox();
        for (int i = 0; i < 100; ++i) {
            box.printLine(QStringLiteral("line %1 ").arg(i).repeated(40));
        }
        settle();
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum());
        QVERIFY(box.verticalScrollBar()->value() > 0 && box.horizontalScrollBar()->value() > 0);

        box.clear();
        box.printLine(QStringLiteral("WMW"));
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        QCOMPARE(box.horizontalScrollBar()->value(), 0);
        QVERIFY(inkIn(picture(box), band(box, 0)) > 10);
    }

    // What the user sees: a long result scrolled down and right, then a second search.
    void aNewSearchShowsItsResultFromTheTopLeft() {
        QByteArray records;
        for (int i = 0; i < 200; ++i) {
            records += "L98,record " + QByteArray::number(i) + " " + QByteArray(300, 'x') + '\n';
        }
        records += "G80,Limited slip\n";
        const QString table = writeTableFile(folder_.path(), records);
        QStringList errors;
        LookupWindow& window = lookupWindowOn(table, errors);
        QVERIFY(showAndActivate(window));
        DisplayBox& box = *window.displayBox();
        window.entryBox(0)->setText(QStringLiteral("L98"));
        window.search();
        settle();
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum());
        QVERIFY(box.verticalScrollBar()->value() > 100);

        window.entryBox(0)->setText(QStringLiteral("G80"));
        window.search();
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        QCOMPARE(box.horizontalScrollBar()->value(), 0);
        QVERIFY(inkIn(picture(box), band(box, 0)) > 20);
        QCOMPARE(box.lines(), std::vector<QString>{QStringLiteral("G80  Limited slip")});
    }

    void homeAndEndMoveToTheStartAndTheEnd() {
        DisplayBox& box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.setFocus();
        for (int i = 0; i < 1000; ++i) {
            box.printLine(QStringLiteral("line %1 ").arg(i).repeated(i == 0 ? 40 : 1));
        }
        settle(); // as a user finds them
        const auto* vertical = box.verticalScrollBar();
        auto* horizontal = box.horizontalScrollBar();
        const QList<Qt::KeyboardModifiers> plainAndControl{Qt::NoModifier, Qt::ControlModifier};
        for (const Qt::KeyboardModifiers modifiers : plainAndControl) {
            horizontal->setValue(horizontal->maximum());
            QTest::keyClick(&box, Qt::Key_End, modifiers);
            QVERIFY(vertical->maximum() > 900);
            QCOMPARE(vertical->value(), vertical->maximum());
            QCOMPARE(horizontal->value(), 0);

            horizontal->setValue(horizontal->maximum());
            QTest::keyClick(&box, Qt::Key_Home, modifiers);
            QCOMPARE(vertical->value(), 0);
            QCOMPARE(horizontal->value(), 0);
        }
        // The last line shows at the bottom of the view after End.
        QTest::keyClick(&box, Qt::Key_End);
        const int lastRow = box.viewport()->height() / box.lineHeight() - 1;
        QVERIFY(inkIn(picture(box), band(box, lastRow)) > 10);
    }

    void theFocusIsMarkedInsideTheEdge() {
        DisplayBox& box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.clearFocus();
        const QImage without = picture(box);
        const QRgb gray = qRgb(0x80, 0x80, 0x80);
        const int middle = without.width() / 2;
        for (const int y : {0, 1, 2}) {
            QCOMPARE(without.pixel(middle, y), gray);
        }

        box.setFocus();
        QVERIFY(box.hasFocus());
        const QImage with = picture(box);
        int marked = 0;
        for (const QPoint point : {QPoint(middle, 1), QPoint(1, without.height() / 2),
                                   QPoint(middle, without.height() - 2),
                                   QPoint(without.width() - 2, without.height() / 2)}) {
            marked += with.pixel(point) != gray ? 1 : 0;
        }
        QCOMPARE(marked, 4);
        box.clearFocus();
        QCOMPARE(picture(box), without);
    }

    // A record that several boxes match prints the same line again and again: it is stored once.
    void repeatedLinesAreHeldOnce() {
        PrintedLines lines;
        const QString description = QStringLiteral("  ") + QString(100'000, 'x');
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(lines.append(description), i == 0);
        }
        QVERIFY(lines.append(QStringLiteral("L98  5.7L V8, TPI")));
        QVERIFY(!lines.append(QStringLiteral("L98  5.7L V8, TPI")));
        QVERIFY(lines.append(description));
        QCOMPARE(lines.count(), qint64{18});
        QCOMPARE(lines.runs().size(), std::size_t{3});
        QCOMPARE(lines.line(0).data(), lines.line(14).data());
        QCOMPARE(lines.line(16), QStringLiteral("L98  5.7L V8, TPI"));
        QCOMPARE(lines.line(17), description);
        QCOMPARE(lines.runOf(15), std::size_t{1});
        QCOMPARE(lines.repeats(0), qint64{15});

        // Empty lines repeat too; a great many short lines all keep their text.
        lines.clear();
        QCOMPARE(lines.count(), qint64{0});
        QVERIFY(lines.append(QString()));
        QVERIFY(!lines.append(QString()));
        for (int i = 0; i < 300'000; ++i) {
            lines.append(QString::number(i));
        }
        QCOMPARE(lines.count(), qint64{300'002});
        QCOMPARE(lines.line(1), QString());
        QCOMPARE(lines.line(2), QStringLiteral("0"));
        QCOMPARE(lines.line(300'001), QStringLiteral("299999"));
    }

    void repeatedLinesAreShownAndCopiedEachTime() {
        DisplayBox& box = shownBox();
        for (int i = 0; i < 3; ++i) {
            box.printLine(QStringLiteral("  empty code"));
        }
        box.printLine(QStringLiteral("ZZZ   : No match found."));
        box.printLine(QStringLiteral("ZZZ   : No match found."));
        QCOMPARE(box.lineCount(), qint64{5});
        const QImage shown = picture(box);
        for (int row = 0; row < 5; ++row) {
            QVERIFY(inkIn(shown, band(box, row)) > 10);
        }
        QCOMPARE(box.text(), QStringLiteral("  empty code\n  empty code\n  empty code\n"
                                            "ZZZ   : No match found.\nZZZ   : No match found.\n"));
        QCOMPARE(box.lines().size(), std::size_t{5});
        QCOMPARE(box.line(4), QStringLiteral("ZZZ   : No match found."));
    }

    // The horizontal scroll bar reaches the end of the widest line, whatever its letters.
    void horizontalRangeCoversTheWidestLine() {
        DisplayBox& box = shownBox();
        const QString wide = QStringLiteral("W").repeated(120);
        const QString foreign = QString::fromUtf8("\xe2\x82\xac").repeated(100);
        for (const QString& line : {wide, foreign}) {
            box.clear();
            box.printLine(QStringLiteral("short"));
            box.printLine(line);
            QTRY_VERIFY(box.horizontalScrollBar()->maximum() + box.viewport()->width() >=
                        box.fontMetrics().horizontalAdvance(line));
            QTRY_VERIFY(box.horizontalScrollBar()->isVisible());
        }
    }

    void keepsScrollsAndCopiesItsLines() {
        DisplayBox& box = shownBox();
        box.printLine(QStringLiteral("L98  5.7L V8, TPI"));
        QTRY_VERIFY(!box.verticalScrollBar()->isVisible());
        QVERIFY(!box.horizontalScrollBar()->isVisible());
        const QImage drawn = box.grab().toImage();
        box.repaint();
        QCOMPARE(box.grab().toImage(), drawn);

        for (int i = 0; i < 100; ++i) {
            box.printLine(QStringLiteral("line %1 ").arg(i).repeated(i == 50 ? 20 : 1));
        }
        QTRY_VERIFY(box.verticalScrollBar()->isVisible());
        QVERIFY(box.horizontalScrollBar()->isVisible());
        const int linesShown = box.viewport()->height() / box.lineHeight();
        QCOMPARE(box.verticalScrollBar()->maximum(), 101 - linesShown);

        box.setFocus();
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        const QString copied = QGuiApplication::clipboard()->text();
        QVERIFY(copied.startsWith(QStringLiteral("L98  5.7L V8, TPI\nline 0 \nline 1 \n")));
        QCOMPARE(copied.count('\n'), 101);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(reader != nullptr);
        QCOMPARE(reader->text(QAccessible::Value), copied);
    }
};

QTEST_MAIN(DisplayBoxTest)
#include "tst_display_box.moc"
