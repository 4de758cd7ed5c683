#include "message_box_watch.hpp"
#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QClipboard>
#include <QLabel>
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

    static void type(LookupWindow& window, const QStringList& codes) {
        for (int i = 0; i < codes.size(); ++i) {
            window.entryBox(i)->clear();
            QTest::keyClicks(window.entryBox(i), codes[i]);
        }
    }

private slots:
    void initTestCase() { applyProgramFont(); }
    void init() {
        table_ = writeTableFile(folder_.path(), "L98,\"5.7L V8, TPI\"\nG80,Limited slip\n");
        errors_.clear();
    }
    void cleanup() { app().releaseAll(); }

    void controlsStandWhereTheLayoutPutsThem() {
        LookupWindow& window = lookupWindow();
        // Column-major: box 4 is the second row of the second column.
        QCOMPARE(window.entryBox(0)->geometry(), QRect(88, 8, 49, 25));
        QCOMPARE(window.entryBox(4)->geometry(), QRect(152, 48, 49, 25));
        QCOMPARE(window.entryBox(14)->geometry(), QRect(344, 88, 49, 25));
        QCOMPARE(window.searchButton()->geometry(), QRect(88, 128, 209, 41));
        QCOMPARE(window.clearButton()->geometry(), QRect(320, 128, 73, 41));
        QCOMPARE(window.displayBox()->geometry(), QRect(8, 184, 465, 241));
        QCOMPARE(window.note()->geometry(), QRect(72, 440, 353, 57));
        QCOMPARE(window.searchButton()->text(), QStringLiteral("Search "));
        QVERIFY(window.note()->text().startsWith(QStringLiteral("      The RPO codes")));
        QVERIFY(window.note()->text().contains(QStringLiteral("Camaro.  RPO codes used")));
        QCOMPARE(window.entryBox(0)->accessibleName(), QStringLiteral("RPO code 1"));
        QCOMPARE(window.entryBox(14)->accessibleName(), QStringLiteral("RPO code 15"));
    }

    void tabOrder() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QList<QWidget*> expected{window.entryBox(0), window.displayBox()};
        for (int i = 1; i < 15; ++i) {
            expected << window.entryBox(i);
        }
        expected << window.clearButton() << window.searchButton();
        QCOMPARE(QApplication::focusWidget(), window.searchButton());
        for (QWidget* next : expected) {
            pressOnFocus(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void entryBoxesTakeThreeCharacters() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QTest::keyClicks(window.entryBox(0), QStringLiteral("l98x"));
        QCOMPARE(window.entryBox(0)->text(), QStringLiteral("l98"));
        QGuiApplication::clipboard()->setText(QStringLiteral("ABCDEF"));
        window.entryBox(1)->setFocus();
        pressOnFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.entryBox(1)->text(), QStringLiteral("ABC"));
    }

    void pastedCodesSpreadOverTheFollowingBoxes() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QGuiApplication::clipboard()->setText(QStringLiteral("L98 G80\nws6,\t18E9"));
        window.entryBox(2)->setFocus();
        pressOnFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.entryBox(1)->text(), QString());
        QCOMPARE(window.entryBox(2)->text(), QStringLiteral("L98"));
        QCOMPARE(window.entryBox(3)->text(), QStringLiteral("G80"));
        QCOMPARE(window.entryBox(4)->text(), QStringLiteral("ws6"));
        QCOMPARE(window.entryBox(5)->text(), QStringLiteral("18E"));
        QCOMPARE(window.entryBox(6)->text(), QString());
        // Past the fifteenth box the rest is dropped.
        window.entryBox(14)->setFocus();
        pressOnFocus(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(window.entryBox(14)->text(), QStringLiteral("L98"));
    }

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

    void missingTableIsReportedAndTheWindowGoesOn() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QVERIFY(QFile::remove(table_));
        type(window, {"g80"});
        window.displayBox()->printLine(QStringLiteral("earlier"));
        window.searchButton()->click();
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_[0].contains(QStringLiteral("Error 53: File not found")));
        QVERIFY(errors_[0].contains(table_));
        QCOMPARE(window.entryBox(0)->text(), QStringLiteral("G80"));
        QCOMPARE(shownLines(window), QStringList());

        writeTableFile(folder_.path(), "G80,back in place\n");
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{"G80  back in place"});
        QCOMPARE(errors_.size(), 1);
    }

    void theMessageBoxNamesErrorAndPath() {
        const MessageBoxWatch watch;
        app().Application::reportTableError(velmora::TableError{
            velmora::TableError::Kind::NotFound, std::filesystem::path("/nowhere/RPO.txt")});
        QVERIFY(watch.seen());
        QCOMPARE(watch.title(), QStringLiteral("Velmora"));
        QVERIFY(
            watch.text().contains(QStringLiteral("Error 53: File not found: /nowhere/RPO.txt")));
        QVERIFY(watch.text().contains(QStringLiteral("beside the program")));
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
        const QImage end = box.viewport()->grab().toImage();
        QVERIFY(!end.isNull());
    }
};

QTEST_MAIN(LookupWindowTest)
#include "tst_lookup_window.moc"
