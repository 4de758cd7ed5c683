#include "forms/forms.hpp"

#include <algorithm>

// Rules every layout must keep, checked when the program is compiled, so that a slip in a table
// cannot reach a front end.
namespace velmora::forms {
namespace {

// Tab indices run 0, 1, 2, ... without a gap or a repeat.
constexpr bool tabIndicesAreDense(std::span<const Control> controls) {
    const auto count = static_cast<int>(controls.size());
    for (int tab = 0; tab < count; ++tab) {
        const auto holders = std::ranges::count_if(
            controls, [tab](const Control& control) { return control.tabIndex == tab; });
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
constexpr bool controlsFitTheClientArea(std::span<const Control> controls, TwipsSize client) {
    return std::ranges::all_of(controls, [client](const Control& control) {
        return control.rect.left >= 0 && control.rect.top >= 0 &&
               control.rect.bottom() <= client.height;
    });
}

constexpr bool keepsTheRules(const Form& form) {
    return tabIndicesAreDense(form.controls) && commandsSitOnButtons(form) &&
           controlsFitTheClientArea(form.controls, form.client) &&
           form.id == forms::form(form.id).id;
}

// A tool window's buttons are its own, named in its form, and run no command of a main window;
// its controls fit it also across.
constexpr bool keepsTheRules(const ToolForm& tool) {
    const auto isButton = [&tool](std::string_view name) {
        return std::ranges::any_of(tool.controls, [name](const Control& control) {
            return control.name == name && control.kind == ControlKind::CommandButton &&
                   !control.command;
        });
    };
    const bool fitsAcross = std::ranges::all_of(tool.controls, [&tool](const Control& control) {
        return control.rect.right() <= tool.client.width;
    });
    return tabIndicesAreDense(tool.controls) &&
           controlsFitTheClientArea(tool.controls, tool.client) && fitsAcross &&
           isButton(tool.defaultButton) && isButton(tool.closeButton);
}

static_assert(keepsTheRules(kStartForm));
static_assert(keepsTheRules(kLookupForm));
static_assert(keepsTheRules(kHelpForm));

// The tool forms keep the rules and run their tools, and the front ends find a tool by its id
// (checked without comparing pointers, which the sanitizers' builds cannot do at compile time).
constexpr bool toolsKeepTheRules() {
    for (std::size_t i = 0; i < kLookupTools.size(); ++i) {
        if (static_cast<std::size_t>(kLookupTools.at(i).tool) != i) {
            return false;
        }
    }
    return keepsTheRules(kFindForm) && keepsTheRules(kLabelForm) &&
           kFindForm.tool == ToolId::findByDescription && kLabelForm.tool == ToolId::decodeLabel;
}
static_assert(toolsKeepTheRules());

// Right of the owner where there is room, else left of it, else below it; inside the area.
static_assert(placeBeside({100, 50, 600, 550}, 300, 100, {0, 0, 1280, 1024}, 8) ==
              ScreenPoint{608, 50});
static_assert(placeBeside({900, 50, 1200, 550}, 300, 100, {0, 0, 1280, 1024}, 8) ==
              ScreenPoint{592, 50});
static_assert(placeBeside({100, 50, 1200, 550}, 300, 100, {0, 0, 1280, 1024}, 8) ==
              ScreenPoint{100, 558});
static_assert(placeBeside({100, 50, 1200, 1000}, 300, 100, {0, 0, 1280, 1024}, 8) ==
              ScreenPoint{100, 924});

} // namespace
} // namespace velmora::forms
