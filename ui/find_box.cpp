#include "ui/find_box.hpp"

#include "core/find.hpp"
#include "forms/forms.hpp"
#include "ui/qt_text.hpp"
#include "ui/twips.hpp"
#include "ui/window_look.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velmora::ui {

FindBox::FindBox(QWidget* parent) : QDialog(parent) {
    const forms::ToolForm& form = forms::kFindForm;
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
            widget = words_ = new QLineEdit(this);
            break;
        case forms::ControlKind::CommandButton: {
            auto* button = new QPushButton(toQString(control.caption), this);
            button->setAutoDefault(false);
            (control.name == form.defaultButton ? find_ : close_) = button;
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
    prompt->setBuddy(words_);

    // Enter in the words presses Find, the default button.
    find_->setDefault(true);
    find_->setEnabled(false);

    // Find runs only when there are words to look for, as the query reads them.
    connect(words_, &QLineEdit::textChanged, this, [this](const QString& text) {
        find_->setEnabled(!DescriptionQuery(text.toStdString()).empty());
    });
    connect(find_, &QPushButton::clicked, this, [this] {
        if (find_->isEnabled()) {
            emit findRequested(words_->text());
        }
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void FindBox::present() {
    if (!placed_) {
        // The first time beside the window it belongs to, so that its display box stays in view.
        placed_ = true;
        placeBeside(*this, *parentWidget()->window());
    }
    showWindow(*this);
    words_->setFocus();
    words_->selectAll();
}

} // namespace velmora::ui
