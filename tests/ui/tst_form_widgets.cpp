// The three windows as a user sees them, built from their forms: every control where its form
// puts it (15 twips to a pixel) and in its colours, each window's caption, client area and
// background, and the order Tab follows. The texts a user reads are written out here once, byte
// for byte as the program must show them.

#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/main_window.hpp"
#include "window_test.hpp"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
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
     "- Keys: Enter searches, Ctrl+F finds codes by words in their descriptions, Ctrl+C copies "
     "the gray box's lines, Ctrl+Q ends the program."},
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

class FormWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        applyProgramLook();
    }
    void cleanup() { app().releaseAll(); }

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

QTEST_MAIN(FormWidgetsTest)
#include "tst_form_widgets.moc"
