#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/find_box.hpp"
#include "ui/lookup_window.hpp"
#include "window_test.hpp"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
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
    void initTestCase() { applyProgramFont(); }
    void init() {
        table_ = writeTableFile(folder_.path(), "L98,\"5.7L V8, tuned port injection\"\n"
                                                "G80,Limited-slip rear differential\n"
                                                "CC1,Removable roof panels (T-tops)\n"
                                                "X01,Caf\xe9 cr\xe8me interior\n");
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

        findWith(*box, QStringLiteral("creme cafe"));
        QCOMPARE(shownLines(window),
                 (QStringList{QString::fromUtf8("X01  Caf\xc3\xa9 cr\xc3\xa8me interior"),
                              "1 record matched."}));

        box->findButton()->click();
        QCOMPARE(shownLines(window).size(), 2);
        findWith(*box, QStringLiteral("turbo"));
        QCOMPARE(shownLines(window), QStringList{"No record matched."});
        QCOMPARE(errors_, QStringList());
        // The lookup window still takes input while the box is open.
        QTest::keyClicks(window.entryBox(1), QStringLiteral("g80"));
        window.searchButton()->click();
        QCOMPARE(shownLines(window), QStringList{"G80  Limited-slip rear differential"});
    }

    void blankWordsCannotBeFound() {
        LookupWindow& window = lookupWindow();
        window.findAction()->trigger();
        FindBox& box = *window.findBox();
        QVERIFY(!box.findButton()->isEnabled());
        QTest::keyClicks(box.words(), QStringLiteral("   "));
        QVERIFY(!box.findButton()->isEnabled());
        window.displayBox()->printLine(QStringLiteral("kept"));
        QTest::keyClick(box.words(), Qt::Key_Return);
        QCOMPARE(shownLines(window), QStringList{"kept"});
        QTest::keyClicks(box.words(), QStringLiteral("t-top"));
        QVERIFY(box.findButton()->isEnabled());
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

    void nothingElseOfTheWindowChanges() {
        LookupWindow& window = lookupWindow();
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        for (QAction* menu : menus) {
            for (QAction* entry : menu->menu()->actions()) {
                QVERIFY(!entry->text().contains(QStringLiteral("Find")));
            }
        }
        window.findAction()->trigger();
        // The box is a window of its own, not a control on the form.
        QVERIFY(window.findBox()->isWindow());
        QCOMPARE(window.client()->findChildren<QLineEdit*>().size(), 15);
    }

    void aMissingTableIsReported() {
        LookupWindow& window = lookupWindow();
        QVERIFY(QFile::remove(table_));
        window.findAction()->trigger();
        window.displayBox()->printLine(QStringLiteral("an earlier search"));
        findWith(*window.findBox(), QStringLiteral("slip"));
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_[0].contains(QStringLiteral("Error 53: File not found")));
        QCOMPARE(shownLines(window), QStringList());
    }
};

QTEST_MAIN(FindBoxTest)
#include "tst_find_box.moc"
