#include "ui/command_button.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/picture_box.hpp"
#include "ui/start_window.hpp"
#include "ui/windows.hpp"
#include "window_test.hpp"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace velmora::ui;

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        applyProgramFont();
    }
    void cleanup() { Windows::releaseAll(); }

    void startShowsOnlyTheStartWindow() {
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        QVERIFY(!Windows::rpo2Exists());
        QVERIFY(!Windows::helpExists());
        QVERIFY(start.windowFlags() & Qt::WindowMinimizeButtonHint);
        // The pictures keep their own sizes; their boxes cut them.
        QCOMPARE(start.Picture1()->picture().size(), QSize(443, 335));
        QCOMPARE(Windows::help().Picture1()->picture().size(), QSize(406, 445));
        QCOMPARE(QApplication::font().pointSize(), 8);
    }

    void menusOfBothMainWindows() {
        for (QMainWindow* window :
             std::initializer_list<QMainWindow*>{&Windows::rpo(), &Windows::rpo2()}) {
            const QList<QAction*> titles = window->menuBar()->actions();
            QCOMPARE(titles.size(), 2);
            QCOMPARE(titles[0]->text(), QStringLiteral("&File"));
            QCOMPARE(titles[1]->text(), QStringLiteral("&Help"));
            const QList<QAction*> file = titles[0]->menu()->actions();
            QCOMPARE(file.size(), 1);
            QCOMPARE(file[0]->text(), QStringLiteral("Exit"));
            QCOMPARE(file[0]->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
            QCOMPARE(titles[1]->menu()->actions()[0]->text(), QStringLiteral("Help"));
        }
    }

    // Enter presses nothing while the banner has the focus; Tab moves to the button, and Enter
    // then hides the start window and shows the lookup window.
    void lookUpFromTheKeyboard() {
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        QCOMPARE(QApplication::focusWidget(), start.Picture1());
        pressOnFocus(Qt::Key_Return);
        QVERIFY(!Windows::rpo2Exists());
        pressOnFocus(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), start.cmdlookup());
        // The command runs when Enter comes up, so its release never falls to the next window.
        QTest::keyPress(start.cmdlookup(), Qt::Key_Return);
        QVERIFY(!Windows::rpo2Exists());
        QTest::keyRelease(start.cmdlookup(), Qt::Key_Return);
        QVERIFY(start.isHidden());
        QVERIFY(Windows::rpo2Exists());
        RPO2& lookup = Windows::rpo2();
        QVERIFY(lookup.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&lookup));
        QCOMPARE(QApplication::focusWidget(), lookup.cmdlookup());
    }

    void spaceAlsoPressesAButton() {
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        start.cmdlookup()->setFocus();
        QTest::keyClick(start.cmdlookup(), Qt::Key_Space);
        QVERIFY(Windows::rpo2Exists() && Windows::rpo2().isVisible());
    }

    void helpIsOneWindowBesideTheMainWindow() {
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        start.menu().nhelp2->trigger();
        QVERIFY(Windows::helpExists());
        helpform* first = &Windows::help();
        QVERIFY(first->isVisible());

        start.menu().nhelp2->trigger();
        start.cmdlookup()->click();
        QVERIFY(first->isVisible());
        Windows::rpo2().menu().nhelp2->trigger();
        QCOMPARE(&Windows::help(), first);

        QVERIFY(QTest::qWaitForWindowActive(first));
        QCOMPARE(QApplication::focusWidget(), first->Command1());
        pressOnFocus(Qt::Key_Return);
        QVERIFY(first->isHidden());
        QVERIFY(Windows::rpo2().isVisible());
        Windows::rpo2().menu().nhelp2->trigger();
        QCOMPARE(&Windows::help(), first);
        QVERIFY(first->isVisible());
    }

    void closingHelpMakesItAnewNextTime() {
        Windows::show(Windows::help());
        QPointer<helpform> first = &Windows::help();
        first->close();
        QTRY_VERIFY(first.isNull());
        QVERIFY(!Windows::helpExists());
        Windows::show(Windows::help());
        QVERIFY(Windows::help().isVisible());
    }

    // Where the platform's font is wider, a note is drawn smaller rather than cut off.
    void everyWordOfEveryLabelShows() {
        const QList<QLabel*> labels{Windows::rpo().Label1(), Windows::rpo2().Label1(),
                                    Windows::help().Label1(), Windows::help().Label2(),
                                    Windows::help().Label3()};
        for (QLabel* label : labels) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                     qPrintable(label->text()));
            QVERIFY(label->font().pointSizeF() >= 6.0);
        }
    }

    void exitEndsEveryWindow_data() {
        QTest::addColumn<bool>("fromLookup");
        QTest::newRow("start window") << false;
        QTest::newRow("lookup window") << true;
    }
    void exitEndsEveryWindow() {
        QFETCH(bool, fromLookup);
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        if (fromLookup) {
            start.cmdlookup()->click();
            QVERIFY(QTest::qWaitForWindowActive(&Windows::rpo2()));
        }
        Windows::show(Windows::help());
        QWidget* main = fromLookup ? static_cast<QWidget*>(&Windows::rpo2()) : &start;
        QVERIFY(showAndActivate(*main));
        QTest::keyClick(main, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(main->isHidden());
        QVERIFY(Windows::help().isHidden());
        QVERIFY(start.isHidden());
    }

    void closingTheMainWindowEndsTheProgram() {
        RPO& start = Windows::rpo();
        QVERIFY(showAndActivate(start));
        start.cmdlookup()->click();
        Windows::show(Windows::help());
        Windows::rpo2().close();
        QVERIFY(Windows::help().isHidden());
        QVERIFY(Windows::rpo2().isHidden());
    }

    void enlargingMovesNothing() {
        RPO2& lookup = Windows::rpo2();
        QVERIFY(showAndActivate(lookup));
        const QRect search = lookup.cmdlookup()->geometry();
        lookup.resize(lookup.size() + QSize(200, 150));
        QTRY_COMPARE(lookup.client()->width(), 681);
        QCOMPARE(lookup.cmdlookup()->geometry(), search);
        QCOMPARE(lookup.client()->palette().color(QPalette::Window), QColor(Qt::black));
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
