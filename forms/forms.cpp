#include "forms/forms.hpp"

#include <algorithm>

// Rules every layout must keep, checked when the program is compiled, so that a slip in a table
// cannot reach a front end.
namespace velmora::forms {
namespace {

// Tab indices run 0, 1, 2, ... without a gap or a repeat.
constexpr bool tabIndicesAreDense(const Form& form) {
    const auto count = static_cast<int>(form.controls.size());
    for (int tab = 0; tab < count; ++tab) {
        const auto holders = std::ranges::count_if(
            form.controls, [tab](const Control& control) { return control.tabIndex == tab; });
        if (holders != 1) {
            return false;
        }
    }
    return true;
}

// A button runs a command, and nothing else does; labels never take the focus.
constexpr bool commandsSitOnButtons(const Form& form) {
    return std::ranges::all_of(form.controls, [](const Control& control) {
        const bool isButton = control.kind == ControlKind::CommandButton;
        const bool focusedLabel = control.kind == ControlKind::Label && control.takesFocus;
        return isButton == control.command.has_value() && !focusedLabel;
    });
}

// No control starts left of or above the client area or reaches below it.
constexpr bool controlsFitTheClientArea(const Form& form) {
    return std::ranges::all_of(form.controls, [&form](const Control& control) {
        return control.rect.left >= 0 && control.rect.top >= 0 &&
               control.rect.bottom() <= form.client.height;
    });
}

constexpr bool keepsTheRules(const Form& form) {
    return tabIndicesAreDense(form) && commandsSitOnButtons(form) &&
           controlsFitTheClientArea(form) && form.id == forms::form(form.id).id;
}

static_assert(keepsTheRules(kStartForm));
static_assert(keepsTheRules(kLookupForm));
static_assert(keepsTheRules(kHelpForm));

} // namespace
} // namespace velmora::forms
