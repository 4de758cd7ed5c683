#include "ui/application.hpp"
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
        applyProgramFont();
    }
    void cleanup() { app().releaseAll(); }

    void startShowsOnlyTheStartWindow() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        QVERIFY(!app().exists(velmora::WindowId::lookup));
        QVERIFY(!app().exists(velmora::WindowId::help));
        QCOMPARE(start.windowTitle(), QStringLiteral("3rd Generation F-body Velmora"));
        QCOMPARE(start.client()->size(), QSize(433, 416));
        QVERIFY(!start.windowIcon().isNull());
        QVERIFY(!(start.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(start.windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(start.note()->text(),
                 QStringLiteral("This program searches RPO codes for 1982 - 1992 Firebirds and "
                                "Camaros."));
        QCOMPARE(start.lookUpButton()->text(), QStringLiteral("Look up RPO Codes"));
        QCOMPARE(start.banner()->picture().size(), QSize(443, 335));
        QCOMPARE(start.banner()->size(), QSize(433, 297));
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
        QCOMPARE(lookup.windowTitle(), start.windowTitle());
        QCOMPARE(lookup.client()->size(), QSize(481, 503));
        QVERIFY(lookup.windowIcon().isNull());
        QVERIFY(!(lookup.windowFlags() & Qt::WindowMaximizeButtonHint));
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
        QCOMPARE(first->windowTitle(), QStringLiteral("Velmora Help"));
        QCOMPARE(first->size(), QSize(408, 706));
        QVERIFY(first->windowFlags() & Qt::WindowMaximizeButtonHint);
        QVERIFY(first->windowIcon().isNull());

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

    void helpNotes() {
        HelpWindow& help = app().helpWindow();
        QCOMPARE(help.note(2)->text(),
                 QStringLiteral(
                     "- Clicking the \"Clear\" button will only clear the white input boxes."));
        QVERIFY(help.note(1)->text().contains(
            QStringLiteral("disappear.  Click on the \"Search\" button agian to redisplay")));
        QVERIFY(help.note(3)->text().endsWith(
            QStringLiteral("placed in a different dirctory than the text file.")));
        QCOMPARE(help.closeButton()->text(), QStringLiteral("Close Help Box"));
        QCOMPARE(help.picture()->picture().size(), QSize(406, 445));
        QCOMPARE(help.picture()->size(), QSize(409, 441));
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

    void enlargingMovesNothing() {
        LookupWindow& lookup = app().lookupWindow();
        QVERIFY(showAndActivate(lookup));
        const QRect search = lookup.searchButton()->geometry();
        lookup.resize(lookup.size() + QSize(200, 150));
        QTRY_COMPARE(lookup.client()->width(), 681);
        QCOMPARE(lookup.searchButton()->geometry(), search);
        QCOMPARE(lookup.client()->palette().color(QPalette::Window), QColor(Qt::black));
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
