#include "ui/command_button.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/picture_box.hpp"
#include "ui/start_window.hpp"
#include "ui/window_look.hpp"
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
        applyProgramLook();
    }
    void cleanup() { app().releaseAll(); }

    void startShowsOnlyTheStartWindow() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        QVERIFY(!app().exists(velmora::WindowId::lookup));
        QVERIFY(!app().exists(velmora::WindowId::help));
        QVERIFY(start.windowFlags() & Qt::WindowMinimizeButtonHint);
        // The pictures keep their own sizes; their boxes cut them.
        QCOMPARE(start.banner()->picture().size(), QSize(443, 335));
        QCOMPARE(app().helpWindow().picture()->picture().size(), QSize(406, 445));
        QCOMPARE(QApplication::font().pointSize(), 8);
    }

    void menusOfBothMainWindows() {
        for (QMainWindow* window :
             std::initializer_list<QMainWindow*>{&app().startWindow(), &app().lookupWindow()}) {
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
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        QCOMPARE(QApplication::focusWidget(), start.banner());
        pressOnFocus(Qt::Key_Return);
        QVERIFY(!app().exists(velmora::WindowId::lookup));
        pressOnFocus(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), start.lookUpButton());
        // The command runs when Enter comes up, so its release never falls to the next window.
        QTest::keyPress(start.lookUpButton(), Qt::Key_Return);
        QVERIFY(!app().exists(velmora::WindowId::lookup));
        QTest::keyRelease(start.lookUpButton(), Qt::Key_Return);
        QVERIFY(start.isHidden());
        QVERIFY(app().exists(velmora::WindowId::lookup));
        LookupWindow& lookup = app().lookupWindow();
        QVERIFY(lookup.isVisible());
        QVERIFY(QTest::qWaitForWindowActive(&lookup));
        QCOMPARE(QApplication::focusWidget(), lookup.searchButton());
    }

    void spaceAlsoPressesAButton() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        start.lookUpButton()->setFocus();
        QTest::keyClick(start.lookUpButton(), Qt::Key_Space);
        QVERIFY(app().exists(velmora::WindowId::lookup) && app().lookupWindow().isVisible());
    }

    void helpIsOneWindowBesideTheMainWindow() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        start.menu().showHelp->trigger();
        QVERIFY(app().exists(velmora::WindowId::help));
        HelpWindow* first = &app().helpWindow();
        QVERIFY(first->isVisible());

        start.menu().showHelp->trigger();
        start.lookUpButton()->click();
        QVERIFY(first->isVisible());
        app().lookupWindow().menu().showHelp->trigger();
        QCOMPARE(&app().helpWindow(), first);

        QVERIFY(QTest::qWaitForWindowActive(first));
        QCOMPARE(QApplication::focusWidget(), first->closeButton());
        pressOnFocus(Qt::Key_Return);
        QVERIFY(first->isHidden());
        QVERIFY(app().lookupWindow().isVisible());
        app().lookupWindow().menu().showHelp->trigger();
        QCOMPARE(&app().helpWindow(), first);
        QVERIFY(first->isVisible());
    }

    void closingHelpMakesItAnewNextTime() {
        velmora::ui::showWindow(app().helpWindow());
        QPointer<HelpWindow> first = &app().helpWindow();
        first->close();
        QTRY_VERIFY(first.isNull());
        QVERIFY(!app().exists(velmora::WindowId::help));
        velmora::ui::showWindow(app().helpWindow());
        QVERIFY(app().helpWindow().isVisible());
    }

    // Where the platform's font is wider, a note is drawn smaller rather than cut off.
    void everyWordOfEveryLabelShows() {
        const QList<QLabel*> labels{app().startWindow().note(), app().lookupWindow().note(),
                                    app().helpWindow().note(1), app().helpWindow().note(2),
                                    app().helpWindow().note(3)};
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
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        if (fromLookup) {
            start.lookUpButton()->click();
            QVERIFY(QTest::qWaitForWindowActive(&app().lookupWindow()));
        }
        velmora::ui::showWindow(app().helpWindow());
        QWidget* main = fromLookup ? static_cast<QWidget*>(&app().lookupWindow()) : &start;
        QVERIFY(showAndActivate(*main));
        QTest::keyClick(main, Qt::Key_Q, Qt::ControlModifier);
        QVERIFY(main->isHidden());
        QVERIFY(app().helpWindow().isHidden());
        QVERIFY(start.isHidden());
    }

    void closingTheMainWindowEndsTheProgram() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        start.lookUpButton()->click();
        velmora::ui::showWindow(app().helpWindow());
        app().lookupWindow().close();
        QVERIFY(app().helpWindow().isHidden());
        QVERIFY(app().lookupWindow().isHidden());
    }

    // The main windows cannot be maximized, so they keep their size whatever the window manager
    // offers; the help window can be enlarged and its controls stay where they are.
    void onlyTheHelpWindowGrows() {
        for (QWidget* main :
             std::initializer_list<QWidget*>{&app().startWindow(), &app().lookupWindow()}) {
            QVERIFY(showAndActivate(*main));
            const QSize size = main->size();
            main->resize(size + QSize(200, 150));
            QCOMPARE(main->size(), size);
            QVERIFY(!main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        }
        HelpWindow& help = app().helpWindow();
        QVERIFY(showAndActivate(help));
        const QRect close = help.closeButton()->geometry();
        const QSize size = help.size() + QSize(200, 150);
        help.resize(size);
        QTRY_COMPARE(help.size(), size);
        QCOMPARE(help.closeButton()->geometry(), close);
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
