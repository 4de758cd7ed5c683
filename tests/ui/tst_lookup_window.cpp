#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/find_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\n"
                          "G80,Limited-slip rear differential\n"
                          "CC1,Removable roof panels (T-tops)\n";

} // namespace

class LookupWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString table_;
    QStringList errors_;
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

    LookupWindow& lookupWindow() { return lookupWindowOn(table_, errors_); }

    static void type(LookupWindow& window, const QStringList& codes) {
        for (int i = 0; i < codes.size(); ++i) {
            window.entryBox(i)->clear();
            QTest::keyClicks(window.entryBox(i), codes[i]);
        }
    }

    // Types `words` into the open find box and presses Enter there.
    static void findWith(FindBox& box, const QString& words) {
        box.words()->selectAll();
        QTest::keyClicks(box.words(), words);
        QTest::keyClick(box.words(), Qt::Key_Return);
    }

private slots:
    void initTestCase() { applyProgramLook(); }
    void init() {
        table_ = writeTableFile(folder_.path(), kTable);
        errors_.clear();
    }
    void cleanup() {
        box_.reset();
        app().releaseAll();
    }

    void searchAndClearEndToEnd() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        type(window, {"g80", "l9", "zzz", "l98"});
        QTest::mouseClick(window.searchButton(), Qt::LeftButton);
        const QStringList results{"L98  5.7L V8, TPI", "G80  Limited-slip rear differential",
                                  "L9   : RPO code must be 3 characters.",
                                  "ZZZ   : No match found."};
        QCOMPARE(shownLines(window), results);
        QCOMPARE(window.entryBox(0)->text(), QStringLiteral("G80"));
        QCOMPARE(window.entryBox(3)->text(), QStringLiteral("L98"));
        QVERIFY(errors_.isEmpty());

        QTest::mouseClick(window.clearButton(), Qt::LeftButton);
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(window.entryBox(i)->text(), QString());
        }
        QCOMPARE(shownLines(window), results);
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList());
    }

    void enterSearchesOnlyFromTheButton() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.displayBox()->printLine(QStringLiteral("earlier"));
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(shownLines(window), QStringList());

        type(window, {"G80"});
        window.entryBox(0)->setFocus();
        pressOnFocus(Qt::Key_Return);
        QCOMPARE(shownLines(window), QStringList());
        window.searchButton()->setFocus();
        pressOnFocus(Qt::Key_Space);
        QCOMPARE(shownLines(window), QStringList{"G80  Limited-slip rear differential"});
    }

    // One code in 100,000 records: every line is printed and every one can be scrolled to. A
    // new search then shows its result from the top left, wherever the last one was scrolled.
    void searchWithAHundredThousandLines() {
        QByteArray records = "L98,record 0 " + QByteArray(300, 'x') + '\n';
        for (int i = 1; i < 100'000; ++i) {
            records += "L98,record " + QByteArray::number(i) + '\n';
        }
        table_ = writeTableFile(folder_.path(), records + kTable);
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        type(window, {"L98"});
        window.searchButton()->click();
        DisplayBox& box = *window.displayBox();
        QCOMPARE(box.lines().size(), std::size_t{100'001});
        QCOMPARE(box.lines()[99'999], QStringLiteral("L98  record 99999"));
        // The horizontal scroll bar takes its place after the prints, and a line from the view.
        QTRY_COMPARE(box.verticalScrollBar()->maximum(),
                     100'001 - box.viewport()->height() / box.lineHeight());
        const int linesShown = box.viewport()->height() / box.lineHeight();
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        // Scrolled to the end, the box is drawn full of lines: dark glyphs on its gray.
        const QImage end = box.viewport()->grab().toImage();
        const int ink = inkIn(end, end.rect());
        QVERIFY2(ink > 40 * linesShown, qPrintable(QString::number(ink)));
        box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum());
        QVERIFY(box.horizontalScrollBar()->value() > 100);

        type(window, {"G80"});
        window.searchButton()->click();
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        QCOMPARE(box.horizontalScrollBar()->value(), 0);
        QVERIFY(inkIn(picture(box), band(box, 0)) > 20);
        QCOMPARE(shownLines(window), QStringList{"G80  Limited-slip rear differential"});
    }

    // The find box opens beside the window, where it leaves the display box in view; the window
    // still takes input while it is open.
    void ctrlFOpensTheBoxAndFindPrintsIntoTheDisplayBox() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QVERIFY(window.findBox() == nullptr);
        window.entryBox(0)->setFocus();
        pressOnFocus(Qt::Key_F, Qt::ControlModifier);
        FindBox* box = window.findBox();
        QVERIFY(box != nullptr);
        QTRY_VERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->windowTitle(), QStringLiteral("Find by description"));
        QCOMPARE(box->findButton()->text(), QStringLiteral("Find"));
        QCOMPARE(box->closeButton()->text(), QStringLiteral("Close"));
        const QRect place = box->frameGeometry();
        const QRect owner = window.frameGeometry();
        QVERIFY2(
            place.left() > owner.right() || place.right() < owner.left() ||
                place.top() > owner.bottom(),
            qPrintable(
                QStringLiteral("box %1,%2 over the window").arg(place.left()).arg(place.top())));
        QVERIFY(window.screen()->availableGeometry().contains(place));

        window.displayBox()->printLine(QStringLiteral("an earlier search"));
        findWith(*box, QStringLiteral("SLIP limited"));
        QCOMPARE(shownLines(window),
                 (QStringList{"G80  Limited-slip rear differential", "1 record matched."}));

        box->findButton()->click();
        QCOMPARE(shownLines(window).size(), 2);
        QCOMPARE(errors_, QStringList());
        QTest::keyClicks(window.entryBox(1), QStringLiteral("l98"));
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{"L98  5.7L V8, TPI"});
    }

    // Find runs only when the words hold a word: blanks of any kind are none.
    void blankWordsCannotBeFound_data() {
        QTest::addColumn<QString>("words");
        QTest::addColumn<bool>("runs");
        QTest::newRow("blanks") << QStringLiteral("   ") << false;
        QTest::newRow("vertical tab") << QStringLiteral("\v") << false;
        QTest::newRow("em and no-break space") << QStringLiteral("\u2003\u00a0") << false;
        QTest::newRow("zero-width space") << QStringLiteral("\u200b") << false;
        QTest::newRow("a word among blanks") << QStringLiteral("\u2003t-top ") << true;
    }
    void blankWordsCannotBeFound() {
        QFETCH(QString, words);
        QFETCH(bool, runs);
        LookupWindow& window = lookupWindow();
        window.findAction()->trigger();
        FindBox& box = *window.findBox();
        QVERIFY(!box.findButton()->isEnabled());
        box.words()->setText(words);
        QCOMPARE(box.findButton()->isEnabled(), runs);
        window.displayBox()->printLine(QStringLiteral("kept"));
        QTest::keyClick(box.words(), Qt::Key_Return);
        QCOMPARE(shownLines(window) == QStringList{"kept"}, !runs);
    }

    // Close hides the box; the display box's menu brings the same box back, its words kept.
    void theDisplayBoxMenuBringsTheBoxBackWithItsWords() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.findAction()->trigger();
        FindBox* box = window.findBox();
        QTest::keyClicks(box->words(), QStringLiteral("roof"));
        box->closeButton()->click();
        QVERIFY(!box->isVisible());

        DisplayBox& display = *window.displayBox();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                display.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(display.viewport(), &event);
        auto* menu = display.findChild<QMenu*>();
        QVERIFY(menu != nullptr);
        QAction* find = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Find by description...")) {
                find = action;
            }
        }
        QVERIFY(find != nullptr);
        QCOMPARE(find->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
        menu->close();
        find->trigger();
        QCOMPARE(window.findBox(), box);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->words()->text(), QStringLiteral("roof"));
        QCOMPARE(box->words()->selectedText(), QStringLiteral("roof"));
    }

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
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(reader != nullptr);
        QCOMPARE(reader->text(QAccessible::Value), all);
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

QTEST_MAIN(LookupWindowTest)
#include "tst_lookup_window.moc"
