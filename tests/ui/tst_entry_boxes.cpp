#include "core/commands.hpp"
#include "message_box_watch.hpp"
#include "table_files.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/lookup_window.hpp"
#include "ui/picture_box.hpp"
#include "ui/start_window.hpp"
#include "window_test.hpp"

#include <functional>
#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>

using namespace velmora::ui;

namespace {

// A character outside the Basic Multilingual Plane: two UTF-16 units, one character.
const QString kClef = QString::fromUtf8("\xf0\x9d\x84\x9e");

enum class PastePath { CtrlV, ShiftInsert, ContextMenu, Selection, Drop };

// A point right of the box's text: a middle click or a drop there pastes at its end.
QPoint endOf(const EntryBox& box) {
    return {box.width() - 6, box.height() / 2};
}

// Pastes `text` into `box` the way a user would along `path`.
void pasteAlong(PastePath path, EntryBox& box, const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    box.setFocus();
    switch (path) {
    case PastePath::CtrlV:
        clipboard->setText(text);
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        break;
    case PastePath::ShiftInsert:
        clipboard->setText(text);
        QTest::keyClick(&box, Qt::Key_Insert, Qt::ShiftModifier);
        break;
    case PastePath::ContextMenu: {
        clipboard->setText(text);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                box.mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(&box, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QAction* paste = findPasteAction(*menu);
        QVERIFY(paste != nullptr && paste->isEnabled());
        paste->trigger();
        menu->close();
        break;
    }
    case PastePath::Selection:
        clipboard->setText(text, QClipboard::Selection);
        QTest::mouseClick(&box, Qt::MiddleButton, Qt::NoModifier, endOf(box));
        break;
    case PastePath::Drop: {
        // Dragged in from another program: it enters, moves over the box and is dropped there.
        QMimeData data;
        data.setText(text);
        const QPoint at = endOf(box);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &drop);
        QVERIFY(drop.isAccepted());
        break;
    }
    }
}

} // namespace

Q_DECLARE_METATYPE(PastePath)

class EntryBoxesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir folder_;
    QString table_;
    QStringList reports_;
    QList<int> cursorsDuringSearch_;

    LookupWindow& lookupWindow() {
        return app().lookupWindowReading(table_, reports_, cursorsDuringSearch_);
    }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        applyProgramLook();
    }
    void init() {
        table_ = writeTableFile(folder_.path(), "L98,Engine\nG80,Limited slip\n");
        reports_.clear();
        cursorsDuringSearch_.clear();
    }
    void cleanup() { app().releaseAll(); }

    void pasteSpreadsByEveryPath_data() {
        QTest::addColumn<PastePath>("path");
        QTest::newRow("Ctrl+V") << PastePath::CtrlV;
        QTest::newRow("Shift+Insert") << PastePath::ShiftInsert;
        QTest::newRow("context menu") << PastePath::ContextMenu;
        QTest::newRow("middle click") << PastePath::Selection;
        QTest::newRow("drop") << PastePath::Drop;
    }
    void pasteSpreadsByEveryPath() {
        QFETCH(PastePath, path);
        if (path == PastePath::Selection && !QGuiApplication::clipboard()->supportsSelection()) {
            QSKIP("this platform keeps no selection (run under X11 for this case)");
        }
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.entryBox(3)->setText(QStringLiteral("OLD"));
        // Semicolon, no-break space, a NUL and a bell: web pages and spreadsheets copy such text.
        const QString pasted = QString::fromUtf8("l98;G80\xc2\xa0W\0S6\x07\n", 14);
        pasteAlong(path, *window.entryBox(2), pasted);
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(window.entryBox(i)->text(), QStringList({"", "l98", "G80", "WS6", ""})[i - 1]);
        }

        // One code goes in where the cursor is, as typed text does, if the box can take it
        // whole; otherwise the note names what it would have made.
        window.entryBox(7)->setText(QStringLiteral("A"));
        window.entryBox(7)->setCursorPosition(1);
        pasteAlong(path, *window.entryBox(7),
                   QString::fromUtf8("B\x01"
                                     "CD",
                                     4));
        QCOMPARE(window.entryBox(7)->text(), QStringLiteral("A"));
        QCOMPARE(window.entryBox(8)->text(), QString());
        QCOMPARE(window.pasteNote()->text(), QStringLiteral("ABCD is longer than 3 characters."));
    }

    // What a paste left out is named on a line inside the window, told to screen readers, not
    // in a box to dismiss; it stays until the user changes a box, clicks or presses a button.
    void leftOutCodesAreNamedUntilTheUserGoesOn() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        QLabel& note = *window.pasteNote();
        const auto goOn = [&](const QString& pasted, const std::function<void()>& act) {
            pasteAlong(PastePath::CtrlV, *window.entryBox(13), pasted);
            QVERIFY(!note.text().isEmpty());
            act();
            QCOMPARE(note.text(), QString());
        };
        pasteAlong(PastePath::CtrlV, *window.entryBox(0), QStringLiteral("L98X G80 WS6"));
        QCOMPARE(window.entryBox(0)->text(), QStringLiteral("G80"));
        QCOMPARE(window.entryBox(1)->text(), QStringLiteral("WS6"));
        QCOMPARE(window.entryBox(2)->text(), QString());
        QCOMPARE(QApplication::focusWidget(), window.entryBox(1));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QTest::qWait(1100);
        QCOMPARE(note.text(), QStringLiteral("L98X is longer than 3 characters."));
        QVERIFY(note.isVisible() && window.client()->rect().contains(note.geometry()));
        // What a screen reader speaks when it is told the note changed.
        QCOMPARE(QAccessible::queryAccessibleInterface(&note)->text(QAccessible::Name),
                 note.text());
        pressOnFocus(Qt::Key_Tab); // moving on is not going on
        QVERIFY(!note.text().isEmpty());
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("x"));
        QCOMPARE(note.text(), QString());

        goOn(QStringLiteral("A11 B22 C33 D44"), [&] {
            QCOMPARE(note.text(), QStringLiteral("No box left for C33 and D44."));
            QTest::mouseClick(window.displayBox()->viewport(), Qt::LeftButton);
        });
        goOn(QStringLiteral("ABCD"), [&] { window.searchButton()->click(); });
        goOn(QStringLiteral("ABCD"),
             [&] { pasteAlong(PastePath::CtrlV, *window.entryBox(0), QStringLiteral("A11 B22")); });
    }

    // A box takes three characters, each of them here two UTF-16 units. One code pasted over
    // selected text takes its place, the cursor after it; Undo takes the paste back.
    void typingAndPastingCountCharacters() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        EntryBox& box = *window.entryBox(0);
        box.setFocus();
        for (int i = 0; i < 4; ++i) {
            QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, kClef, Qt::NoModifier);
        }
        QCOMPARE(box.text(), kClef.repeated(3));
        QTest::keyClicks(&box, QStringLiteral("x"));
        QCOMPARE(box.text(), kClef.repeated(3));
        box.setText(kClef + QStringLiteral("AB"));
        box.setSelection(2, 1); // the A, after the two halves of the clef
        pasteAlong(PastePath::CtrlV, box, QStringLiteral("X"));
        QCOMPARE(box.text(), kClef + QStringLiteral("XB"));
        QCOMPARE(box.cursorPosition(), 3);
        box.selectAll();
        pasteAlong(PastePath::CtrlV, box, QStringLiteral("g80"));
        QCOMPARE(box.text(), QStringLiteral("g80"));
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box.text(), kClef + QStringLiteral("XB"));
    }

    // On the black window each box shows a light edge at its bottom and right, and a dark one
    // at its top and left that is not the window's black.
    void entryBoxesShowTheirSunkenEdge() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        const QImage box = window.entryBox(4)->grab().toImage();
        const int middle = box.height() / 2;
        const QColor inside = box.pixelColor(box.width() / 2, middle);
        QCOMPARE(inside, QColor(Qt::white));
        // Each pair: the light right or bottom edge, and its shadow opposite, gray but not black.
        const std::pair<QPoint, QPoint> edges[] = {
            {{box.width() - 1, middle}, {0, middle}},
            {{box.width() / 2, box.height() - 1}, {box.width() / 2, 0}}};
        for (const auto& [light, shadow] : edges) {
            const QColor colour = box.pixelColor(shadow);
            QVERIFY2(colour != QColor(Qt::black) && colour != inside, qPrintable(colour.name()));
            QVERIFY(box.pixelColor(light).lightness() > colour.lightness());
        }
    }

    // Enter on the banner presses nothing. Held down on "Look up RPO Codes", Enter opens the
    // lookup window once, when it comes up; none of its repeats, nor its release, runs "Search "
    // there.
    void heldEnterOnLookUpNeverSearches() {
        LookupWindow& lookup = lookupWindow();
        lookup.displayBox()->printLine(QStringLiteral("untouched"));
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        QCOMPARE(QApplication::focusWidget(), start.banner());
        pressOnFocus(Qt::Key_Return);
        QVERIFY(!lookup.isVisible());
        pressOnFocus(Qt::Key_Tab);
        const auto send = [](QEvent::Type type, bool repeat) {
            QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeat);
            // With no window active a key reaches nothing, as on the screen.
            if (QWidget* target = QApplication::focusWidget()) {
                QApplication::sendEvent(target, &event);
            }
        };
        send(QEvent::KeyPress, false);
        for (int i = 0; i < 20; ++i) {
            send(QEvent::KeyRelease, true);
            send(QEvent::KeyPress, true);
        }
        QVERIFY(!lookup.isVisible());
        send(QEvent::KeyRelease, false);
        QVERIFY(start.isHidden());
        QVERIFY(QTest::qWaitForWindowActive(&lookup));
        QCOMPARE(QApplication::focusWidget(), lookup.searchButton());
        // Repeats that were still on their way, and a late release, reach "Search ".
        for (int i = 0; i < 20; ++i) {
            send(QEvent::KeyPress, true);
            send(QEvent::KeyRelease, true);
        }
        send(QEvent::KeyRelease, false);
        QCOMPARE(cursorsDuringSearch_.size(), 0);
        QCOMPARE(lookup.displayBox()->lines(), std::vector<QString>{QStringLiteral("untouched")});
        // A fresh press and release does search.
        send(QEvent::KeyPress, false);
        send(QEvent::KeyRelease, false);
        QCOMPARE(cursorsDuringSearch_.size(), 1);
    }

    // The cursor shows the program busy while the search runs, and is as it was afterwards,
    // also when the table cannot be read: then the report names it, the display box is empty
    // and the entries stay.
    void searchShowsABusyCursorAndEndsAsItWas() {
        LookupWindow& window = lookupWindow();
        QVERIFY(showAndActivate(window));
        window.entryBox(0)->setText(QStringLiteral("L98"));
        window.searchButton()->click();
        QCOMPARE(cursorsDuringSearch_, QList<int>{Qt::WaitCursor});
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(window.displayBox()->lines(), std::vector<QString>{QStringLiteral("L98  Engine")});

        QVERIFY(QFile::remove(table_));
        window.searchButton()->click();
        QCOMPARE(cursorsDuringSearch_, (QList<int>{Qt::WaitCursor, Qt::WaitCursor}));
        QCOMPARE(reports_, QStringList{"Error 53: File not found: " + table_});
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QCOMPARE(window.displayBox()->lines(), std::vector<QString>{});
        QCOMPARE(window.entryBox(0)->text(), QStringLiteral("L98"));
    }

    // A table that cannot be read is a message box with the advice for its cause under the
    // description; memory that runs out is one that says what to do.
    void reportsAreMessageBoxes() {
        const velmora::TableError error{velmora::TableError::Kind::NotFound,
                                        std::filesystem::path("/tables/RPO.txt")};
        const MessageBoxWatch tableWatch;
        app().Application::reportTableError(error);
        QVERIFY(tableWatch.seen());
        QCOMPARE(tableWatch.text(), QString::fromStdString(error.describe()) + '\n' +
                                        QString::fromStdString(error.advice()));

        const MessageBoxWatch memoryWatch;
        app().Application::reportOutOfMemory();
        QVERIFY(memoryWatch.seen());
        QVERIFY(memoryWatch.text().contains(QStringLiteral("ran out of memory")));
        QVERIFY(memoryWatch.text().contains(QStringLiteral("\"Search\" again")));
    }
};

QTEST_MAIN(EntryBoxesTest)
#include "tst_entry_boxes.moc"
