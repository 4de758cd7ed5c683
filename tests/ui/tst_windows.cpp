// The three windows as a user sees them: how they open, stand and close; and, built from their
// forms, every control where its form puts it (15 twips to a pixel) and in its colours, each
// window's caption, client area and background, and the order Tab follows. The texts a user reads
// are written out here once, byte for byte as the program must show them.

#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/main_window.hpp"
#include "ui/picture_box.hpp"
#include "ui/start_window.hpp"
#include "ui/window_look.hpp"
#include "window_test.hpp"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

using namespace velmora::ui;
namespace forms = velmora::forms;

namespace {

// Each window's caption under its form's name, and each text a control shows under the form's
// and the control's names. Leading blanks, double blanks and misspellings are the program's own.
const QMap<QString, QString> kTexts{
    {"RPO", "3rd Generation F-body Velmora"},
    {"RPO.cmdlookup", "Look up RPO Codes"},
    {"RPO.Label1", "This program searches RPO codes for 1982 - 1992 Firebirds and Camaros."},
    {"RPO2", "3rd Generation F-body Velmora"},
    {"RPO2.Label1",
     "      The RPO codes in this program should be valid for any 1982 - 1992 Firebird or "
     "Camaro.  RPO codes used in this program have been compiled from various sources on the "
     "internet.  There may be some RPO codes not included in this program."},
    {"RPO2.cmdlookup", "Search "},
    {"RPO2.cmdclear", "Clear"},
    {"helpform", "Velmora Help"},
    {"helpform.Command1", "Close Help Box"},
    {"helpform.Label1",
     "- Type one code in each white box, or paste a whole label into the first box, and click "
     "\"Search\". The results stay in the gray display box until the next search."},
    {"helpform.Label2", "- Clicking the \"Clear\" button will only clear the white input boxes."},
    {"helpform.Label3",
     "- Keep the code table RPO.txt beside the program (the current folder serves too, and on "
     "Linux the installed data folder). If it is not found, a message names each place looked."},
    {"helpform.Label4",
     "- Keys: Ctrl+F finds codes by their description, Ctrl+L decodes a whole label, Ctrl+K checks "
     "the table, Ctrl+C copies the gray box's lines."},
};

QString nameOf(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QString controlName(const forms::Control& control) {
    return nameOf(control.name) +
           (control.index == forms::kNoIndex ? QString() : QString::number(control.index));
}

QColor colour(forms::Colour rgb) {
    return {forms::red(rgb), forms::green(rgb), forms::blue(rgb)};
}

QRect pixels(const forms::TwipsRect& twips) {
    return {twips.left / 15, twips.top / 15, twips.width / 15, twips.height / 15};
}

// The widget the controls stand on: a main window's client area, or the help window.
QWidget& surfaceOf(velmora::WindowId id) {
    QWidget& window = app().window(id);
    auto* main = qobject_cast<MainWindow*>(&window);
    return main != nullptr ? *main->client() : window;
}

// What paints a control's background: a scrolling box's viewport, or the control itself.
const QWidget& painted(const QWidget& control) {
    const auto* area = qobject_cast<const QAbstractScrollArea*>(&control);
    return area != nullptr ? *area->viewport() : control;
}

} // namespace

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
        QCOMPARE(QAccessible::queryAccessibleInterface(first)->role(), QAccessible::Window);

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
    // the screen's work area with "Close Help Box" on it, at any scale, its picture drawn for it.
    void helpStandsBesideTheLookupWindowOnTheScreen() {
        LookupWindow& lookup = app().lookupWindow();
        QVERIFY(showAndActivate(lookup));
        lookup.menu().showHelp->trigger();
        HelpWindow& help = app().helpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        const QRect area = help.screen()->availableGeometry();
        const QRect frame = help.frameGeometry();
        QVERIFY2(area.contains(frame), qPrintable(QDebug::toString(frame)));
        QVERIFY(help.rect().contains(help.closeButton()->geometry()));
        if (area.width() >= lookup.frameGeometry().width() + frame.width()) {
            QVERIFY(!frame.intersects(lookup.frameGeometry()));
        }
        // As large as its picture, the box shows every pixel of the one drawn for the scale on one
        // device pixel: sharp, not a smaller one enlarged.
        auto* picture = help.findChild<PictureBox*>();
        const qreal ratio = picture->devicePixelRatioF();
        QImage drawn(ratio > 1 ? ":/assets/help-200.bmp" : ":/assets/help.bmp");
        drawn.setDevicePixelRatio(ratio);
        picture->resize(drawn.deviceIndependentSize().toSize());
        QCOMPARE(picture->grab().toImage().convertToFormat(drawn.format()), drawn);
        // Closed with its title bar, it goes; Help makes it anew.
        QPointer<HelpWindow> first = &help;
        help.close();
        QTRY_VERIFY(first.isNull() && !app().exists(velmora::WindowId::help));
        lookup.menu().showHelp->trigger();
        QVERIFY(app().helpWindow().isVisible());
    }

    // Where the platform's font is wider, a note is drawn smaller rather than cut off; the help
    // notes all show at one size.
    void everyWordOfEveryLabelShows() {
        HelpWindow& help = app().helpWindow();
        for (QLabel* label : {app().startWindow().note(), app().lookupWindow().note(), help.note(1),
                              help.note(2), help.note(3), help.note(4)}) {
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

    void windowsAreBuiltFromTheirForms() {
        int textsShown = 0;
        for (const forms::Form* form : forms::kForms) {
            QWidget& window = app().window(form->id);
            QWidget& surface = surfaceOf(form->id);
            QVERIFY(showAndActivate(window));
            QCOMPARE(window.windowTitle(), kTexts.value(nameOf(form->name)));
            QCOMPARE(surface.size(), QSize(form->client.width / 15, form->client.height / 15));
            QCOMPARE(surface.palette().color(QPalette::Window), colour(form->background));
            QCOMPARE(bool(window.windowFlags() & Qt::WindowMaximizeButtonHint), form->canMaximize);
            QVERIFY(!window.windowIcon().isNull());
            ++textsShown;

            QStringList tabChain; // from the control that has the focus first, round to it again
            for (const forms::Control& control : forms::tabOrder(form->controls)) {
                if (control.takesFocus) {
                    tabChain << controlName(control);
                }
            }
            for (int i = 0; i <= tabChain.size(); ++i) {
                QCOMPARE(QApplication::focusWidget()->objectName(), tabChain[i % tabChain.size()]);
                pressOnFocus(Qt::Key_Tab);
            }

            for (const forms::Control& control : form->controls) {
                const QString where = nameOf(form->name) + '.' + controlName(control);
                const auto* widget =
                    surface.findChild<QWidget*>(controlName(control), Qt::FindDirectChildrenOnly);
                QVERIFY2(widget != nullptr, qPrintable(where));
                QCOMPARE(widget->geometry(), pixels(control.rect));
                // A label or button not named in the texts shows none.
                if (const auto* label = qobject_cast<const QLabel*>(widget)) {
                    QCOMPARE(label->text(), kTexts.value(where));
                } else if (const auto* button = qobject_cast<const CommandButton*>(widget)) {
                    QCOMPARE(button->text(), kTexts.value(where));
                    QVERIFY(!button->isDefault() && !button->autoDefault());
                }
                textsShown += kTexts.contains(where) ? 1 : 0;
                // Text stands black on white unless its form gives colours; an entry box paints
                // in the palette's base and text colours, the others fill their own.
                if (control.kind == forms::ControlKind::Label ||
                    control.kind == forms::ControlKind::TextBox ||
                    control.kind == forms::ControlKind::DisplayBox) {
                    const QWidget& area = painted(*widget);
                    const bool entry = qobject_cast<const QLineEdit*>(widget) != nullptr;
                    QVERIFY2(entry || area.autoFillBackground(), qPrintable(where));
                    QCOMPARE(area.palette().color(entry ? QPalette::Base : area.backgroundRole()),
                             colour(control.background.value_or(forms::kWhite)));
                    QCOMPARE(area.palette().color(entry ? QPalette::Text : area.foregroundRole()),
                             colour(control.foreground.value_or(forms::kBlack)));
                }
            }
            window.hide();
        }
        QCOMPARE(textsShown, kTexts.size());
    }
};

QTEST_MAIN(WindowsTest)
#include "tst_windows.moc"
