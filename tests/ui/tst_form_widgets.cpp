// The three windows as a user sees them, against their layout written out here once in pixels
// (15 twips to a pixel): sizes, places, captions, colours and the order Tab follows.

#include "ui/command_button.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/start_window.hpp"
#include "window_test.hpp"

#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace velmora::ui;
using velmora::WindowId;

namespace {

const QString kMainCaption = QStringLiteral("3rd Generation F-body Velmora");
const QColor kBlack(0, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kGray(128, 128, 128);

struct WindowLayout {
    WindowId id;
    QString caption;
    QSize client;
    QColor background;
    bool canMaximize;
    QStringList tabChain; // from the control that has the focus first, round to it again
};

const WindowLayout kWindows[] = {
    {WindowId::start, kMainCaption, {433, 416}, kBlack, false, {"Picture1", "cmdlookup"}},
    {WindowId::lookup,
     kMainCaption,
     {481, 503},
     kBlack,
     false,
     QStringList{"cmdlookup", "txtrpo0", "txtrpo1", "txtrpo2", "txtrpo3", "txtrpo4", "txtrpo5",
                 "txtrpo6", "txtrpo7", "txtrpo8", "txtrpo9", "txtrpo10", "txtrpo11", "txtrpo12",
                 "txtrpo13", "txtrpo14", "pic1", "cmdclear"}},
    {WindowId::help,
     QStringLiteral("Velmora Help"),
     {408, 706},
     kWhite,
     true,
     {"Command1", "Picture1"}},
};

// A control's place in its window's client area; its text where it shows one; its background
// and text colours where the layout sets them.
struct ControlLayout {
    WindowId window;
    QString name;
    QRect place;
    QString text;
    QColor background;
    QColor foreground;
};

std::vector<ControlLayout> controlLayouts() {
    std::vector<ControlLayout> all{
        {WindowId::start, "Picture1", {0, 8, 433, 297}, {}, {}, {}},
        {WindowId::start, "cmdlookup", {152, 312, 137, 41}, "Look up RPO Codes", {}, {}},
        {WindowId::start,
         "Label1",
         {40, 376, 353, 25},
         "This program searches RPO codes for 1982 - 1992 Firebirds and Camaros.",
         kBlack,
         kWhite},
        {WindowId::lookup,
         "Label1",
         {72, 440, 353, 57},
         "      The RPO codes in this program should be valid for any 1982 - 1992 Firebird or "
         "Camaro.  RPO codes used in this program have been compiled from various sources on the "
         "internet.  There may be some RPO codes not included in this program.",
         kBlack,
         kWhite},
        {WindowId::lookup, "cmdlookup", {88, 128, 209, 41}, "Search ", {}, {}},
        {WindowId::lookup, "pic1", {8, 184, 465, 241}, {}, kGray, kBlack},
        {WindowId::lookup, "cmdclear", {320, 128, 73, 41}, "Clear", {}, {}},
        {WindowId::lookup, "pasteNote", {8, 425, 465, 15}, {}, kBlack, QColor(255, 255, 0)},
        {WindowId::help, "Picture1", {0, 8, 409, 441}, {}, {}, {}},
        {WindowId::help,
         "Label1",
         {16, 472, 385, 41},
         "- If this program is minimized, or if another program is opened up over top of this "
         "program, the data in the gray display box may disappear.  Click on the \"Search\" "
         "button agian to redisplay the RPO codes and their descriptions.",
         kWhite,
         kBlack},
        {WindowId::help,
         "Label2",
         {16, 520, 385, 17},
         "- Clicking the \"Clear\" button will only clear the white input boxes.",
         kWhite,
         kBlack},
        {WindowId::help,
         "Label3",
         {16, 560, 385, 41},
         "The EXECUTABLE file AND the TEXT file MUST be in the SAME FOLDER in order for the "
         "program to function properly.  A 'File not found' error will result if the program is "
         "placed in a different dirctory than the text file.",
         kWhite,
         kBlack},
        {WindowId::help, "Command1", {120, 640, 153, 41}, "Close Help Box", {}, {}},
    };
    // Fifteen entry boxes down each of five columns in turn, white with black text.
    for (int i = 0; i < 15; ++i) {
        all.push_back({WindowId::lookup,
                       QStringLiteral("txtrpo%1").arg(i),
                       {88 + 64 * (i / 3), 8 + 40 * (i % 3), 49, 25},
                       {},
                       kWhite,
                       kBlack});
    }
    return all;
}

// The widget the controls stand on: a main window's client area, or the help window.
QWidget& surfaceOf(WindowId id) {
    QWidget& window = app().window(id);
    if (auto* main = qobject_cast<MainWindow*>(&window)) {
        return *main->client();
    }
    return window;
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

    void windowsHaveTheirLayout() {
        for (const WindowLayout& expected : kWindows) {
            QWidget& window = app().window(expected.id);
            QVERIFY(showAndActivate(window));
            QCOMPARE(window.windowTitle(), expected.caption);
            QCOMPARE(surfaceOf(expected.id).size(), expected.client);
            QCOMPARE(surfaceOf(expected.id).palette().color(QPalette::Window), expected.background);
            QCOMPARE(bool(window.windowFlags() & Qt::WindowMaximizeButtonHint),
                     expected.canMaximize);
            QVERIFY(!window.windowIcon().isNull());
            for (int i = 0; i <= expected.tabChain.size(); ++i) {
                QCOMPARE(QApplication::focusWidget()->objectName(),
                         expected.tabChain[i % expected.tabChain.size()]);
                pressOnFocus(Qt::Key_Tab);
            }
            window.hide();
        }
    }

    void controlsHaveTheirLayout() {
        for (const ControlLayout& expected : controlLayouts()) {
            const QString where =
                expected.name + QStringLiteral(" in ") + app().window(expected.window).objectName();
            const auto* control =
                surfaceOf(expected.window)
                    .findChild<QWidget*>(expected.name, Qt::FindDirectChildrenOnly);
            QVERIFY2(control != nullptr, qPrintable(where));
            QCOMPARE(control->geometry(), expected.place);
            if (const auto* label = qobject_cast<const QLabel*>(control)) {
                QCOMPARE(label->text(), expected.text);
            } else if (const auto* button = qobject_cast<const CommandButton*>(control)) {
                QCOMPARE(button->text(), expected.text);
                QVERIFY(!button->isDefault() && !button->autoDefault());
            }
            // An entry box paints in the palette's base and text colours, the others fill theirs.
            const QWidget& surface = painted(*control);
            const bool entry = qobject_cast<const QLineEdit*>(control) != nullptr;
            if (expected.background.isValid()) {
                QVERIFY2(entry || surface.autoFillBackground(), qPrintable(where));
                QCOMPARE(surface.palette().color(entry ? QPalette::Base : surface.backgroundRole()),
                         expected.background);
                QCOMPARE(surface.palette().color(entry ? QPalette::Text : surface.foregroundRole()),
                         expected.foreground);
            }
        }
    }
};

QTEST_MAIN(FormWidgetsTest)
#include "tst_form_widgets.moc"
