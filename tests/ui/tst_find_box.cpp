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
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;

class FindBoxTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString table_;
    QStringList errors_;

    LookupWindow& lookupWindow() { return lookupWindowOn(table_, errors_); }

    // Types `words` into the open find box and presses Enter there.
    static void findWith(FindBox& box, const QString& words) {
        box.words()->selectAll();
        QTest::keyClicks(box.words(), words);
        QTest::keyClick(box.words(), Qt::Key_Return);
    }

private slots:
    void initTestCase() { applyProgramLook(); }
    void init() {
        table_ = writeTableFile(folder_.path(), "L98,\"5.7L V8, tuned port injection\"\n"
                                                "G80,Limited-slip rear differential\n"
                                                "CC1,Removable roof panels (T-tops)\n");
        errors_.clear();
    }
    void cleanup() { app().releaseAll(); }

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

        window.displayBox()->printLine(QStringLiteral("an earlier search"));
        findWith(*box, QStringLiteral("SLIP limited"));
        QCOMPARE(shownLines(window),
                 (QStringList{"G80  Limited-slip rear differential", "1 record matched."}));

        box->findButton()->click();
        QCOMPARE(shownLines(window).size(), 2);
        QCOMPARE(errors_, QStringList());
        // The lookup window still takes input while the box is open.
        QTest::keyClicks(window.entryBox(1), QStringLiteral("g80"));
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{"G80  Limited-slip rear differential"});
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

    // The box stands beside the lookup window, where it leaves the display box in view.
    void theBoxOpensBesideTheWindow() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.findAction()->trigger();
        const QRect box = window.findBox()->frameGeometry();
        const QRect owner = window.frameGeometry();
        QVERIFY2(
            box.left() > owner.right() || box.right() < owner.left() || box.top() > owner.bottom(),
            qPrintable(QStringLiteral("box %1,%2 over the window").arg(box.left()).arg(box.top())));
        QVERIFY(window.screen()->availableGeometry().contains(box));
    }

    void theDisplayBoxContextMenuOffersFind() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
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
        QVERIFY(window.findBox() != nullptr);
        QTRY_VERIFY(window.findBox()->isVisible());
    }

    void closeHidesTheBoxAndItComesBackWithItsWords() {
        LookupWindow& window = lookupWindow();
        window.findAction()->trigger();
        FindBox* box = window.findBox();
        QTest::keyClicks(box->words(), QStringLiteral("roof"));
        box->closeButton()->click();
        QVERIFY(!box->isVisible());
        window.findAction()->trigger();
        QCOMPARE(window.findBox(), box);
        QVERIFY(box->isVisible());
        QCOMPARE(box->words()->text(), QStringLiteral("roof"));
        QCOMPARE(box->words()->selectedText(), QStringLiteral("roof"));
    }
};

QTEST_MAIN(FindBoxTest)
#include "tst_find_box.moc"
