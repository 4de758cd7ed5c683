#include "ui/command_button.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/start_window.hpp"
#include "ui/window_look.hpp"
#include "window_test.hpp"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
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

    // The program starts with the start window alone; help opens once beside either main window.
    void helpIsOneWindowBesideTheMainWindow() {
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        QVERIFY(!app().exists(velmora::WindowId::lookup) && !app().exists(velmora::WindowId::help));
        QVERIFY(start.windowFlags() & Qt::WindowMinimizeButtonHint);
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
        QVERIFY(QTest::qWaitForWindowActive(first));
        QTest::keyClick(first, Qt::Key_Escape);
        QVERIFY(first->isHidden());
    }

    // The lookup window opens with the focus mark showing on what Enter presses, before any Tab,
    // and F10 reaches its menu bar.
    void theKeyboardFindsItsWayFromTheStart() {
        LookupWindow& lookup = app().lookupWindow();
        QVERIFY(showAndActivate(lookup));
        CommandButton& search = *lookup.searchButton();
        QCOMPARE(QApplication::focusWidget(), &search);
        const QImage marked = search.grab().toImage();
        search.clearFocus();
        QVERIFY(search.grab().toImage() != marked);
        search.setFocus();
        pressOnFocus(Qt::Key_F10);
        QTRY_VERIFY(lookup.menuBar()->activeAction() != nullptr);
    }

    // Help opens beside the lookup window, never over it where the screen has room, and inside
    // the screen's work area with "Close Help Box" on it, at any scale.
    void helpStandsBesideTheLookupWindowOnTheScreen() {
        LookupWindow& lookup = app().lookupWindow();
        QVERIFY(showAndActivate(lookup));
        lookup.menu().showHelp->trigger();
        HelpWindow& help = app().helpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QRect area = help.screen()->availableGeometry();
        const QRect frame = help.frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                      .arg(frame.left())
                                                      .arg(frame.top())
                                                      .arg(frame.width())
                                                      .arg(frame.height())
                                                      .arg(area.width())
                                                      .arg(area.height())));
        QVERIFY(help.rect().contains(help.closeButton()->geometry()));
        if (area.width() >= lookup.frameGeometry().width() + frame.width()) {
            QVERIFY(!frame.intersects(lookup.frameGeometry()));
        }
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

    // Where the platform's font is wider, a note is drawn smaller rather than cut off; the help
    // notes all show at one size.
    void everyWordOfEveryLabelShows() {
        HelpWindow& help = app().helpWindow();
        const QList<QLabel*> labels{app().startWindow().note(),
                                    app().lookupWindow().note(),
                                    help.note(1),
                                    help.note(2),
                                    help.note(3),
                                    help.note(4)};
        for (QLabel* label : labels) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                     qPrintable(label->text()));
            QVERIFY(label->font().pointSizeF() >= 6.0);
            if (label->window() == &help) {
                QCOMPARE(label->font(), help.note(2)->font());
            }
        }
    }

    // Ctrl+Q from either main window, or closing the main window, hides every window.
    void everyWayOutEndsEveryWindow_data() {
        QTest::addColumn<bool>("fromLookup");
        QTest::addColumn<bool>("byClosing");
        QTest::newRow("Ctrl+Q on the start window") << false << false;
        QTest::newRow("Ctrl+Q on the lookup window") << true << false;
        QTest::newRow("closing the lookup window") << true << true;
    }
    void everyWayOutEndsEveryWindow() {
        QFETCH(bool, fromLookup);
        QFETCH(bool, byClosing);
        StartWindow& start = app().startWindow();
        QVERIFY(showAndActivate(start));
        if (fromLookup) {
            start.lookUpButton()->click();
            QVERIFY(QTest::qWaitForWindowActive(&app().lookupWindow()));
        }
        velmora::ui::showWindow(app().helpWindow());
        QWidget* main = fromLookup ? static_cast<QWidget*>(&app().lookupWindow()) : &start;
        QVERIFY(showAndActivate(*main));
        if (byClosing) {
            main->close();
        } else {
            QTest::keyClick(main, Qt::Key_Q, Qt::ControlModifier);
        }
        QVERIFY(main->isHidden());
        QVERIFY(app().helpWindow().isHidden());
        QVERIFY(start.isHidden());
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
