#pragma once

#include "ui/display_box.hpp"

#include <cstdint>
#include <QAccessibleWidget>

namespace velmora::ui {

// Screen readers read the box's lines as read-only multi-line text, the text Copy gives. It is
// built when first asked for after a change, so a large result costs nothing while no reader
// asks; the box has no caret and no selection.
class DisplayBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit DisplayBoxAccessible(DisplayBox* box)
        : QAccessibleWidget(box, QAccessible::EditableText) {}

    // For QAccessible::installFactory: the interface of a display box, or null for any other
    // object.
    static QAccessibleInterface* create(const QString& /*className*/, QObject* object) {
        auto* box = qobject_cast<DisplayBox*>(object);
        return box == nullptr ? nullptr : new DisplayBoxAccessible(box);
    }

    // Tells readers the text changed, from what they last had to what it is now.
    void announce() const {
        const QString before = text_;
        QAccessibleTextUpdateEvent update(widget(), 0, before, all());
        QAccessible::updateAccessibility(&update);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? all() : QAccessibleWidget::text(kind);
    }
    QString text(int start, int end) const override { return all().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(all().size()); }

    void selection(int /*index*/, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int /*start*/, int /*end*/) override {}
    void removeSelection(int /*index*/) override {}
    void setSelection(int /*index*/, int /*start*/, int /*end*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    QRect characterRect(int /*offset*/) const override { return {}; }
    int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start*/, int /*end*/) override {}
    QString attributes(int offset, int* start, int* end) const override {
        *start = *end = offset;
        return {};
    }

private:
    const QString& all() const {
        const auto* box = qobject_cast<const DisplayBox*>(widget());
        if (textOf_ != box->changes()) {
            text_ = box->text();
            textOf_ = box->changes();
        }
        return text_;
    }

    mutable QString text_;
    mutable std::uint64_t textOf_ = 0;
};

} // namespace velmora::ui
