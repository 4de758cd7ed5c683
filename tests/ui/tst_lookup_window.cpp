#include "lookup_process.hpp"
#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/tool_box.hpp"
#include "window_test.hpp"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;
using velmora::ToolId;

Q_DECLARE_METATYPE(ToolId)

namespace {

const QByteArray kTable = "L98,\"5.7L V8, TPI\"\n"
                          "G80,Limited-slip rear differential\n"
                          "CC1,Removable roof panels (T-tops)\n";
const QStringList kKept{"kept"};

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

    // Each tool from its shortcut: a tool box opens beside the window, where it leaves the display
    // box in view, and Enter there prints what velmora-lookup prints in that mode, as Copy gives
    // it; the window still takes input while the box is open.
    void toolsPrintWhatTheCommandLinePrints_data() {
        QTest::addColumn<ToolId>("tool");
        QTest::addColumn<QString>("caption"); // empty: the tool has no box
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("mode");
        const QStringList codes{"l98", "g80", "cc1", "ws6", "zr1", "l9",  "zzz", "abc", "G80", "a",
                                "lb9", "b2l", "y87", "n10", "mx0", "g92", "u52", "kc4", "d80", "t"};
        QTest::newRow("Ctrl+F") << ToolId::findByDescription << "Find by description"
                                << "SLIP limited" << QStringList{"--find", "SLIP", "limited"};
        QTest::newRow("Ctrl+L") << ToolId::decodeLabel << "Decode a label" << codes.join(' ')
                                << QStringList{"--label"} + codes;
        QTest::newRow("Ctrl+K") << ToolId::checkTable << QString() << QString()
                                << QStringList{"--check"};
    }
    void toolsPrintWhatTheCommandLinePrints() {
        QFETCH(ToolId, tool);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QStringList, mode);
        // A lower-case code and text after a closing quote, for the check to find.
        table_ = writeTableFile(folder_.path(), kTable + "ws6,Sport\nZR1,\"Pack\" more\n");
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.entryBox(0)->setFocus();
        window.displayBox()->printLine(QStringLiteral("an earlier search"));
        const QKeySequence key = window.toolAction(tool)->shortcut();
        pressOnFocus(Qt::Key(key[0].key()), Qt::ControlModifier);
        ToolBox* box = window.toolBox(tool);
        QCOMPARE(box != nullptr, !caption.isEmpty());
        if (box != nullptr) {
            QTRY_VERIFY(box->isVisible());
            QVERIFY(!box->isModal());
            QCOMPARE(box->windowTitle(), caption);
            const QRect place = box->frameGeometry();
            const QRect owner = window.frameGeometry();
            QVERIFY2(!place.intersects(owner), qPrintable(QDebug::toString(place)));
            QVERIFY(window.screen()->availableGeometry().contains(place));
            QTest::keyClicks(box->text(), text);
            QTest::keyClick(box->text(), Qt::Key_Return);
        }
        const LookupRun run = runLookup(QStringList{"--table", table_} + mode, folder_.path());
        window.displayBox()->copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8(run.out));
        QCOMPARE(errors_, QStringList());

        QTest::keyClicks(window.entryBox(1), QStringLiteral("l98"));
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{"L98  5.7L V8, TPI"});
    }

    // A tool box runs only when its text holds something for the tool: blanks of any kind are no
    // words, separators no codes. A pasted label of several lines is decoded whole.
    void toolBoxesRunOnWhatTheirToolTakes_data() {
        QTest::addColumn<ToolId>("tool");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QStringList>("shown"); // {"kept"}: nothing ran
        const auto find = ToolId::findByDescription;
        const auto label = ToolId::decodeLabel;
        QTest::newRow("zero-width and no-break space") << find << "\u200b\u00a0" << kKept;
        QTest::newRow("a word among blanks")
            << find << "\u2003t-top "
            << QStringList{"CC1  Removable roof panels (T-tops)", "1 record matched."};
        QTest::newRow("separators alone") << label << " ,;\u00a0\n\t" << kKept;
        QTest::newRow("a label of three lines")
            << label << "L98\ng80\r\n zzz"
            << QStringList{"L98  5.7L V8, TPI", "G80  Limited-slip rear differential",
                           "ZZZ   : No match found."};
    }
    void toolBoxesRunOnWhatTheirToolTakes() {
        QFETCH(ToolId, tool);
        QFETCH(QString, pasted);
        QFETCH(QStringList, shown);
        LookupWindow& window = lookupWindow();
        window.toolAction(tool)->trigger();
        ToolBox& box = *window.toolBox(tool);
        QVERIFY(!box.runButton()->isEnabled());
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(box.text(), QKeySequence::Paste);
        QCOMPARE(box.runButton()->isEnabled(), shown != kKept);
        window.displayBox()->printLine(QStringLiteral("kept"));
        QTest::keyClick(box.text(), Qt::Key_Return);
        QCOMPARE(shownLines(window), shown);
    }

    // Close hides the box; the display box's menu, which lists every tool with its shortcut,
    // brings the same box back, its words kept.
    void theDisplayBoxMenuBringsTheBoxBackWithItsWords() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.toolAction(ToolId::findByDescription)->trigger();
        ToolBox* box = window.toolBox(ToolId::findByDescription);
        QTest::keyClicks(box->text(), QStringLiteral("roof"));
        box->closeButton()->click();
        QVERIFY(!box->isVisible());

        DisplayBox& display = *window.displayBox();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                display.mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(display.viewport(), &event);
        auto* menu = display.findChild<QMenu*>();
        QVERIFY(menu != nullptr);
        QStringList entries;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                entries << action->text() + ' ' + action->shortcut().toString();
            }
        }
        QCOMPARE(entries, (QStringList{"Copy Ctrl+C", "Find by description... Ctrl+F",
                                       "Decode a label... Ctrl+L", "Check table Ctrl+K"}));
        QAction* find = menu->actions().at(2);
        menu->close();
        find->trigger();
        QCOMPARE(window.toolBox(ToolId::findByDescription), box);
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->text()->text(), QStringLiteral("roof"));
        QCOMPARE(box->text()->selectedText(), QStringLiteral("roof"));
    }
};

QTEST_MAIN(LookupWindowTest)
#include "tst_lookup_window.moc"
