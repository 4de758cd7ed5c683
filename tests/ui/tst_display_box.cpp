#include "ui/display_box.hpp"
#include "window_test.hpp"

#include <algorithm>
#include <cmath>
#include <QAccessible>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

using namespace velmora::ui;

class DisplayBoxTest : public QObject {
    Q_OBJECT

private:
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
    void initTestCase() { applyProgramLook(); }
    void cleanup() { box_.reset(); }

    // Of a line too long to show whole, the columns in view show, and its end is marked.
    void aLongLineShowsTheColumnsInView() {
        DisplayBox& box = shownBox();
        const qreal spaceWidth = QFontMetricsF(box.font()).horizontalAdvance(' ');
        const qsizetype before = 5'000;
        const QString marks = QStringLiteral("HHHHHHHHHHHHHHHHHHHH");
        const QString line = QString(before, ' ') + marks + QString(1'000'000, ' ');
        box.printLine(line);
        QImage shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);

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

        // The cut is marked at the end of the range; Copy gives the whole line.
        box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum());
        QVERIFY(inkIn(picture(box), rightHalf) > 0);
        QCOMPARE(box.text(), line + '\n');

        // Scrolled down a line, the marks leave the view with their line.
        for (int i = 0; i < 40; ++i) {
            box.printLine(QString());
        }
        box.horizontalScrollBar()->setValue(marksAt - box.viewport()->width() / 2);
        QVERIFY(inkIn(picture(box), rightHalf) > 20);
        box.verticalScrollBar()->setValue(1);
        shown = picture(box);
        QCOMPARE(inkIn(shown, shown.rect()), 0);
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

    // The focus draws a mark just inside the edge, along each side, that stands out from the gray
    // at least 3:1; it goes with the focus.
    void theFocusIsMarkedInsideTheEdge() {
        DisplayBox& box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.clearFocus();
        const QImage without = picture(box);
        const QRgb gray = qRgb(0x80, 0x80, 0x80);
        const int width = without.width();
        const int height = without.height();
        for (const int y : {0, 1, 2}) {
            QCOMPARE(without.pixel(width / 2, y), gray);
        }

        box.setFocus();
        QVERIFY(box.hasFocus());
        const QImage with = picture(box);
        const auto luminance = [](QRgb colour) {
            const auto linear = [](int channel) {
                const double c = channel / 255.0;
                return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
                   0.0722 * linear(qBlue(colour));
        };
        const auto contrast = [&](QRgb colour) {
            const auto [darker, lighter] = std::minmax({luminance(colour), luminance(gray)});
            return (lighter + 0.05) / (darker + 0.05);
        };
        // Along each side, the strongest mark pixel a little way from the corners.
        const QList<QLine> sides{{8, 1, width - 8, 1},
                                 {8, height - 2, width - 8, height - 2},
                                 {1, 8, 1, height - 8},
                                 {width - 2, 8, width - 2, height - 8}};
        for (const QLine& side : sides) {
            double strongest = 1.0;
            for (int x = side.x1(); x <= side.x2(); ++x) {
                for (int y = side.y1(); y <= side.y2(); ++y) {
                    strongest = std::max(strongest, contrast(with.pixel(x, y)));
                }
            }
            QVERIFY2(strongest >= 3.0, qPrintable(QString::number(strongest)));
        }
        box.clearFocus();
        QCOMPARE(picture(box), without);
    }

    // Shift+F10 opens the context menu, as the Menu key does.
    void shiftF10OpensTheContextMenu() {
        DisplayBox& box = shownBox();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QApplication::activePopupWidget()->close();
    }

    // Each printed line leaves ink in its own row, from the left edge, repeats too; below the
    // last line, and in an empty box, there is none.
    void repeatedLinesAreShownAndCopiedEachTime() {
        DisplayBox& box = shownBox();
        const QImage empty = picture(box);
        QCOMPARE(inkIn(empty, empty.rect().adjusted(3, 3, -3, -3)), 0);
        for (int i = 0; i < 3; ++i) {
            box.printLine(QStringLiteral("  empty code"));
        }
        box.printLine(QStringLiteral("ZZZ   : No match found."));
        box.printLine(QStringLiteral("ZZZ   : No match found."));
        QCOMPARE(box.lineCount(), qint64{5});
        const QImage shown = picture(box);
        for (int row = 0; row < 5; ++row) {
            QVERIFY2(inkIn(shown, band(box, row)) > 10, qPrintable(QString::number(row)));
        }
        QCOMPARE(inkIn(shown, band(box, 5)), 0);
        QVERIFY(inkIn(shown, QRect(0, box.lineHeight() * 3,
                                   box.fontMetrics().horizontalAdvance('Z'), box.lineHeight())) >
                0);
        // Copy and a screen reader both get every line, repeats too.
        const QString all = QStringLiteral("  empty code\n  empty code\n  empty code\n"
                                           "ZZZ   : No match found.\nZZZ   : No match found.\n");
        QCOMPARE(box.text(), all);
        QCOMPARE(box.line(4), QStringLiteral("ZZZ   : No match found."));
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), all);
        // A screen reader reads the same text, line by line.
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(reader != nullptr && reader->textInterface() != nullptr);
        QVERIFY(reader->state().readOnly && reader->state().multiLine);
        QAccessibleTextInterface& text = *reader->textInterface();
        QCOMPARE(text.text(0, text.characterCount()), all);
        int start = 0;
        int end = 0;
        const int inSecond = static_cast<int>(all.indexOf("empty", 5));
        QCOMPARE(text.textAtOffset(inSecond, QAccessible::LineBoundary, &start, &end),
                 QStringLiteral("  empty code\n"));
        QCOMPARE(start, 13); // just after the first line's break
        box.clear();
        QCOMPARE(text.characterCount(), 0);
    }

    // The scroll bars show only when the lines pass the view; the horizontal one then reaches
    // the end of the widest line, whatever its letters.
    void scrollBarsCoverTheLines() {
        DisplayBox& box = shownBox();
        box.printLine(QStringLiteral("L98  5.7L V8, TPI"));
        QTRY_VERIFY(!box.verticalScrollBar()->isVisible());
        QVERIFY(!box.horizontalScrollBar()->isVisible());
        for (int i = 0; i < 100; ++i) {
            box.printLine(QStringLiteral("line %1").arg(i));
        }
        QTRY_VERIFY(box.verticalScrollBar()->isVisible());
        QVERIFY(!box.horizontalScrollBar()->isVisible());

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
};

QTEST_MAIN(DisplayBoxTest)
#include "tst_display_box.moc"
