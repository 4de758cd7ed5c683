#include "ui/form_controls.hpp"

#include "forms/forms.hpp"
#include "ui/assets.hpp"
#include "ui/command_button.hpp"
#include "ui/display_box.hpp"
#include "ui/entry_box.hpp"
#include "ui/picture_box.hpp"
#include "ui/qt_text.hpp"
#include "ui/twips.hpp"
#include "ui/window_look.hpp"

#include <QLabel>

namespace velmora::ui {
namespace {

QWidget* makeWidget(const forms::Control& control, QWidget& parent) {
    switch (control.kind) {
    case forms::ControlKind::Label:
        return new QLabel(toQString(control.caption), &parent);
    case forms::ControlKind::CommandButton:
        // A stored background colour does not change the standard button look.
        return new CommandButton(toQString(control.caption), &parent);
    case forms::ControlKind::TextBox:
        return new EntryBox(control.maxLength, &parent);
    case forms::ControlKind::PictureBox: {
        auto* box = new PictureBox(assets::picture(control.picture), &parent);
        if (control.background) {
            setBackground(*box, *control.background);
        }
        return box;
    }
    case forms::ControlKind::DisplayBox:
        // The display box draws its own gray and its sunken edge.
        return new DisplayBox(&parent);
    }
    return nullptr;
}

} // namespace

FormControls::FormControls(const forms::Form& form, QWidget& surface, WindowPort& port)
    : form_(form) {
    for (const forms::Control& control : form.controls) {
        QWidget* widget = makeWidget(control, surface);
        // Its name, and for an array element the index after it ("txtrpo0").
        widget->setObjectName(toQString(control.name) + (control.index == forms::kNoIndex
                                                             ? QString()
                                                             : QString::number(control.index)));
        widget->setGeometry(toPixels(control.rect));
        if (!control.accessibleName.empty()) {
            widget->setAccessibleName(toQString(control.accessibleName));
        }
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            styleLabel(*label, control.foreground, control.background);
        }
        if (!control.takesFocus) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        if (control.command) {
            const CommandId command = *control.command;
            QObject::connect(qobject_cast<CommandButton*>(widget), &CommandButton::clicked, widget,
                             [command, &port] { run(command, port); });
        }
        widgets_.push_back(widget);
    }

    QWidget* previous = nullptr;
    for (const forms::Control& control : forms::tabOrder(form.controls)) {
        if (control.takesFocus) {
            QWidget* widget = widgetOf(control);
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
}

QWidget* FormControls::find(std::string_view name, int index) const {
    const forms::Control* control = forms::findControl(form_, name, index);
    return control == nullptr ? nullptr : widgetOf(*control);
}

void FormControls::focusFirst() const {
    if (const forms::Control* first = forms::firstFocus(form_)) {
        widgetOf(*first)->setFocus();
    }
}

QWidget* FormControls::widgetOf(const forms::Control& control) const {
    return widgets_[static_cast<std::size_t>(&control - form_.controls.data())];
}

} // namespace velmora::ui
