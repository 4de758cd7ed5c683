#include "ui/find_box.hpp"

#include "core/find.hpp"
#include "ui/qt_text.hpp"
#include "ui/window_look.hpp"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::ui {

FindBox::FindBox(QWidget* parent)
    : QDialog(parent), words_(new QLineEdit(this)),
      find_(new QPushButton(toQString(kFindButtonText), this)),
      close_(new QPushButton(toQString(kFindCloseText), this)) {
    setObjectName(QStringLiteral("findBox"));
    setWindowTitle(toQString(kFindBoxTitle));
    setModal(false);

    auto* prompt = new QLabel(toQString(kFindBoxPrompt), this);
    prompt->setBuddy(words_);
    words_->setObjectName(QStringLiteral("findWords"));
    words_->setAccessibleName(toQString(kFindBoxPrompt));
    words_->setMinimumWidth(words_->fontMetrics().averageCharWidth() * 32);

    // Enter in the words presses Find, the default button.
    find_->setObjectName(QStringLiteral("findButton"));
    find_->setDefault(true);
    find_->setEnabled(false);
    close_->setObjectName(QStringLiteral("findClose"));
    close_->setAutoDefault(false);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(find_, QDialogButtonBox::ActionRole);
    buttons->addButton(close_, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(words_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Blanks alone are no words to look for.
    connect(words_, &QLineEdit::textChanged, this,
            [this](const QString& text) { find_->setEnabled(!text.trimmed().isEmpty()); });
    connect(find_, &QPushButton::clicked, this, [this] {
        if (find_->isEnabled()) {
            emit findRequested(words_->text());
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FindBox::present() {
    showWindow(*this);
    words_->setFocus();
    words_->selectAll();
}

} // namespace velmora::ui
