#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/find_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

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

    QList<int> cursors_;

    LookupWindow& lookupWindow() { return app().lookupWindowReading(table_, errors_, cursors_); }

    // Types the codes as a user does: a click into the first box, then Tab between codes.
    static void type(LookupWindow& window, const QStringList& codes) {
        QTest::mouseClick(window.entryBox(0), Qt::LeftButton);
        for (int i = 0; i < codes.size(); ++i) {
            if (i > 0) {
                pressOnFocus(Qt::Key_Tab);
            }
            QTest::keyClicks(QApplication::focusWidget(), codes[i]);
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
    void cleanup() { app().releaseAll(); }

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

        window.clearButton()->click();
        type(window, {"G80"});
        window.searchButton()->click();
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        QCOMPARE(box.horizontalScrollBar()->value(), 0);
        const QImage top = box.viewport()->grab().toImage();
        QVERIFY(inkIn(top, QRect(3, 0, box.viewport()->width() - 6, box.lineHeight())) > 20);
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
        QVERIFY2(place.left() > owner.right() || place.right() < owner.left() ||
                     place.top() > owner.bottom(),
                 qPrintable(QDebug::toString(place)));
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
        QTest::newRow("zero-width and no-break space") << QStringLiteral("\u200b\u00a0") << false;
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
};

QTEST_MAIN(LookupWindowTest)
#include "tst_lookup_window.moc"
