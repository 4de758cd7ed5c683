#include "ui/tool_box.hpp"

#include "core/commands.hpp"
#include "forms/forms.hpp"
#include "ui/qt_text.hpp"
#include "ui/twips.hpp"
#include "ui/window_look.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::ui {

ToolBox::ToolBox(const forms::ToolForm& form, QWidget* parent) : QDialog(parent) {
    setObjectName(toQString(form.name));
    setWindowTitle(toQString(form.caption));
    setModal(false);
    setFixedSize(toPixels(form.client));

    // Made in tab order, which the focus chain follows.
    QLabel* prompt = nullptr;
    for (const forms::Control& control : forms::tabOrder(form.controls)) {
        QWidget* widget = nullptr;
        switch (control.kind) {
        case forms::ControlKind::Label:
            widget = prompt = new QLabel(toQString(control.caption), this);
            break;
        case forms::ControlKind::TextBox:
            widget = text_ = new QLineEdit(this);
            break;
        case forms::ControlKind::CommandButton: {
            auto* button = new QPushButton(toQString(control.caption), this);
            button->setAutoDefault(false);
            (control.name == form.defaultButton ? run_ : close_) = button;
            widget = button;
            break;
        }
        case forms::ControlKind::PictureBox:
        case forms::ControlKind::DisplayBox:
            continue;
        }
        widget->setObjectName(toQString(control.name));
        widget->setGeometry(toPixels(control.rect));
        if (!control.accessibleName.empty()) {
            widget->setAccessibleName(toQString(control.accessibleName));
        }
        if (!control.takesFocus) {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    prompt->setBuddy(text_);

    // Enter in the text presses the default button, which runs only when the text holds something
    // for the tool: a word to find, a code to decode.
    run_->setDefault(true);
    run_->setEnabled(false);
    connect(text_, &QLineEdit::textChanged, this, [this, tool = form.tool](const QString& text) {
        run_->setEnabled(toolAccepts(tool, text.toStdString()));
    });
    connect(run_, &QPushButton::clicked, this, [this] {
        if (run_->isEnabled()) {
            emit runRequested(text_->text());
        }
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void ToolBox::present() {
    if (!placed_) {
        // The first time beside the window it belongs to, so that its display box stays in view.
        placed_ = true;
        placeBeside(*this, *parentWidget()->window());
    }
    showWindow(*this);
    text_->setFocus();
    text_->selectAll();
}

} // namespace velmora::ui
