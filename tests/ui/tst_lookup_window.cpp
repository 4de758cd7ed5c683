#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;

class LookupWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString table_;
    QStringList errors_;

    LookupWindow& lookupWindow() { return lookupWindowOn(table_, errors_); }

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

private slots:
    void initTestCase() { applyProgramLook(); }
    void init() {
        table_ = writeTableFile(folder_.path(), "L98,\"5.7L V8, TPI\"\nG80,Limited slip\n");
        errors_.clear();
    }
    void cleanup() { app().releaseAll(); }

    void searchAndClearEndToEnd() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        type(window, {"g80", "l9", "zzz", "l98"});
        QTest::mouseClick(window.searchButton(), Qt::LeftButton);
        const QStringList results{"L98  5.7L V8, TPI", "G80  Limited slip",
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
        QCOMPARE(shownLines(window), QStringList{"G80  Limited slip"});
    }

    // One code in 100,000 records: every line is printed and every one can be scrolled to.
    void searchWithAHundredThousandLines() {
        QByteArray records;
        for (int i = 0; i < 100'000; ++i) {
            records += "L98,record " + QByteArray::number(i) + '\n';
        }
        table_ = writeTableFile(folder_.path(), records);
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        type(window, {"L98"});
        window.searchButton()->click();
        DisplayBox& box = *window.displayBox();
        QCOMPARE(box.lines().size(), std::size_t{100'000});
        QCOMPARE(box.lines().back(), QStringLiteral("L98  record 99999"));
        const int linesShown = box.viewport()->height() / box.lineHeight();
        QTRY_COMPARE(box.verticalScrollBar()->maximum(), 100'000 - linesShown);
        box.verticalScrollBar()->setValue(box.verticalScrollBar()->maximum());
        // Scrolled to the end, the box is drawn full of lines: dark glyphs on its gray.
        const QImage end = box.viewport()->grab().toImage();
        const int ink = inkIn(end, end.rect());
        QVERIFY2(ink > 40 * linesShown, qPrintable(QString::number(ink)));
    }
};

QTEST_MAIN(LookupWindowTest)
#include "tst_lookup_window.moc"
