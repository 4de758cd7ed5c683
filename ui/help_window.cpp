#include "ui/help_window.hpp"

#include "forms/forms.hpp"
#include "ui/twips.hpp"
#include "ui/window_look.hpp"

#include <QAccessibleWidget>
#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <string>

namespace velmora::ui {

HelpWindow::HelpWindow(WindowPort& port) : controls_(forms::kHelpForm, *this, port) {
    // Screen readers name the help window a window, as they do the main windows.
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory([](const QString&, QObject* object) -> QAccessibleInterface* {
            auto* window = qobject_cast<HelpWindow*>(object);
            return window == nullptr ? nullptr : new QAccessibleWidget(window, QAccessible::Window);
        });
        return true;
    }();
    const forms::Form& form = forms::kHelpForm;
    applyFormFrame(*this, form);
    setBackground(*this, form.background);
    if (form.onClose == forms::CloseAction::Destroy) {
        // Closing it with the title bar destroys it; the next Help makes it anew.
        setAttribute(Qt::WA_DeleteOnClose);
    }
    // Taller than the screen leaves room for, the picture gives up height for the rest.
    fit_ = forms::fitHeight(form, (screen()->availableGeometry().height() - frameHeight(*this)) *
                                      kTwipsPerPixel);
    for (const forms::Control& control : form.controls) {
        controls_.find(control.name)->setGeometry(toPixels(fit_.place(control)));
    }
    resize(toPixels(forms::TwipsSize{form.client.width, form.client.height - fit_.giveUp}));
    // "Close Help Box" takes the first focus, so Enter or Space closes the window at once; Escape
    // presses it too.
    controls_.focusFirst();
    auto* escape = new QAction(this);
    escape->setShortcut(Qt::Key_Escape);
    connect(escape, &QAction::triggered, closeButton(), &QPushButton::click);
    addAction(escape);
}

QLabel* HelpWindow::note(int number) const {
    return controls_.get<QLabel>("Label" + std::to_string(number));
}

void HelpWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    for (const forms::Line& line : forms::kHelpForm.lines) {
        const Qt::PenStyle style =
            line.style == forms::LineStyle::Dotted ? Qt::DotLine : Qt::SolidLine;
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1, style));
        const int y = toPixels(fit_.y(line.y));
        painter.drawLine(toPixels(line.x1), y, toPixels(line.x2), y);
    }
}

} // namespace velmora::ui
