#pragma once

#include "core/commands.hpp"
#include "forms/form.hpp"

#include <QWidget>
#include <string_view>
#include <vector>

namespace velmora::ui {

// The controls of one window as Qt widgets, made from its form: placed, named and coloured, in
// the tab chain of the tab indices; every button runs its command through `port`.
class FormControls {
public:
    FormControls(const forms::Form& form, QWidget& surface, WindowPort& port);

    // The widget made for the control of that name and array index.
    QWidget* find(std::string_view name, int index = forms::kNoIndex) const;

    template <typename Widget>
    Widget* get(std::string_view name, int index = forms::kNoIndex) const {
        return qobject_cast<Widget*>(find(name, index));
    }

    // Gives the focus to the first control in tab order that can take it.
    void focusFirst() const;

private:
    QWidget* widgetOf(const forms::Control& control) const;

    const forms::Form& form_;
    std::vector<QWidget*> widgets_; // in the order of form_.controls
};

} // namespace velmora::ui
