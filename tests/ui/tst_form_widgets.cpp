#include "forms/forms.hpp"
#include "ui/command_button.hpp"
#include "ui/entry_box.hpp"
#include "ui/form_controls.hpp"
#include "ui/help_window.hpp"
#include "ui/lookup_window.hpp"
#include "ui/qt_text.hpp"
#include "ui/start_window.hpp"
#include "ui/twips.hpp"
#include "window_test.hpp"

#include <algorithm>
#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>

using namespace velmora::ui;
namespace forms = velmora::forms;

namespace {

// The widget the form's controls stand on: a main window's client area, or the help window.
QWidget& surfaceOf(const forms::Form& form) {
    QWidget& window = app().window(form.id);
    if (auto* main = qobject_cast<MainWindow*>(&window)) {
        return *main->client();
    }
    return window;
}

} // namespace

// The Qt windows as their forms give them, checked by going through the forms.
class FormWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        applyProgramFont();
    }
    void cleanup() { app().releaseAll(); }

    void windowsTakeTheirSettings() {
        for (const forms::Form* form : forms::kForms) {
            QWidget& window = app().window(form->id);
            QVERIFY(showAndActivate(window));
            QCOMPARE(window.objectName(), toQString(form->name));
            QCOMPARE(window.windowTitle(), toQString(form->caption));
            QCOMPARE(surfaceOf(*form).size(), toPixels(form->client));
            QCOMPARE(bool(window.windowFlags() & Qt::WindowMaximizeButtonHint), form->canMaximize);
            QCOMPARE(window.windowIcon().isNull(), form->icon == forms::WindowIcon::None);
            QCOMPARE(surfaceOf(*form).palette().color(QPalette::Window),
                     QColor(forms::red(form->background), forms::green(form->background),
                            forms::blue(form->background)));
            QCOMPARE(window.testAttribute(Qt::WA_DeleteOnClose),
                     form->onClose == forms::CloseAction::Destroy);
        }
    }

    void controlsStandAtTheirConvertedPlaces() {
        for (const forms::Form* form : forms::kForms) {
            QWidget& surface = surfaceOf(*form);
            for (const forms::Control& control : form->controls) {
                auto* widget = surface.findChild<QWidget*>(controlObjectName(control),
                                                           Qt::FindDirectChildrenOnly);
                QVERIFY2(widget != nullptr, qPrintable(controlObjectName(control)));
                QCOMPARE(widget->geometry(), toPixels(control.rect));
                if (!control.accessibleName.empty()) {
                    QCOMPARE(widget->accessibleName(), toQString(control.accessibleName));
                }
                QCOMPARE(widget->focusPolicy() != Qt::NoFocus, control.takesFocus);
                if (auto* button = qobject_cast<CommandButton*>(widget)) {
                    QCOMPARE(button->text(), toQString(control.caption));
                    QVERIFY(!button->isDefault() && !button->autoDefault());
                } else if (auto* label = qobject_cast<QLabel*>(widget)) {
                    QCOMPARE(label->text(), toQString(control.caption));
                } else if (auto* box = qobject_cast<EntryBox*>(widget)) {
                    QCOMPARE(box->maxCharacters(), control.maxLength);
                }
            }
        }
    }

    // Tab runs through the controls that take the focus in the order of their tab indices and
    // comes round to the first, where the focus starts.
    void tabChainFollowsTheTabIndices() {
        for (const forms::Form* form : forms::kForms) {
            QWidget& window = app().window(form->id);
            QVERIFY(showAndActivate(window));
            std::vector<const forms::Control*> chain;
            for (const forms::Control& control : form->controls) {
                if (control.takesFocus) {
                    chain.push_back(&control);
                }
            }
            std::ranges::sort(chain, {}, &forms::Control::tabIndex);
            QCOMPARE(QApplication::focusWidget()->objectName(), controlObjectName(*chain.front()));
            for (std::size_t i = 1; i <= chain.size(); ++i) {
                pressOnFocus(Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget()->objectName(),
                         controlObjectName(*chain[i % chain.size()]));
            }
            window.hide();
        }
    }

    void menusFollowTheirForms() {
        for (const forms::Form* form : forms::kForms) {
            auto* main = qobject_cast<MainWindow*>(&app().window(form->id));
            if (main == nullptr) {
                QVERIFY(form->menus.empty());
                continue;
            }
            const QList<QAction*> titles = main->menuBar()->actions();
            QCOMPARE(static_cast<std::size_t>(titles.size()), form->menus.size());
            for (std::size_t i = 0; i < form->menus.size(); ++i) {
                const forms::Menu& menu = form->menus[i];
                QCOMPARE(titles[static_cast<qsizetype>(i)]->text(), toQString(menu.caption));
                const QList<QAction*> entries =
                    titles[static_cast<qsizetype>(i)]->menu()->actions();
                QCOMPARE(static_cast<std::size_t>(entries.size()), menu.entries.size());
                for (std::size_t j = 0; j < menu.entries.size(); ++j) {
                    const QAction* action = entries[static_cast<qsizetype>(j)];
                    QCOMPARE(action->objectName(), toQString(menu.entries[j].name));
                    QCOMPARE(action->text(), toQString(menu.entries[j].caption));
                    QCOMPARE(action->shortcut().isEmpty(), menu.entries[j].shortcut.none());
                }
            }
        }
    }
};

QTEST_MAIN(FormWidgetsTest)
#include "tst_form_widgets.moc"
