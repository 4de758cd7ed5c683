#pragma once

#include "core/command_ids.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

// The shape of a window as data: what every front end reads to build its windows. Nothing here
// knows a toolkit. Positions and sizes are twips (1440 to the inch, 15 to a logical pixel at 96
// DPI); each front end turns them into its own units in one place.
namespace velmora::forms {

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;

    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
};

struct TwipsSize {
    int width;
    int height;
};

// A colour as the layouts store it. Below 0x80000000 it is RGB with red in the low byte, then
// green, then blue; 0x80000000 + n names entry n of the platform's system colour table, which
// follows the user's colour scheme.
using Colour = std::uint32_t;

inline constexpr Colour kBlack = 0x00000000;
inline constexpr Colour kWhite = 0x00FFFFFF;
inline constexpr Colour kGray = 0x00808080;
inline constexpr Colour kYellow = 0x0000FFFF;

constexpr Colour systemColour(int entry) {
    return 0x80000000U + static_cast<Colour>(entry);
}
constexpr bool isSystemColour(Colour colour) {
    return colour >= 0x80000000U;
}
constexpr int systemColourEntry(Colour colour) {
    return static_cast<int>(colour - 0x80000000U);
}
constexpr int red(Colour colour) {
    return static_cast<int>(colour & 0xFFU);
}
constexpr int green(Colour colour) {
    return static_cast<int>((colour >> 8U) & 0xFFU);
}
constexpr int blue(Colour colour) {
    return static_cast<int>((colour >> 16U) & 0xFFU);
}

enum class ControlKind {
    Label,         // static text, wrapped at word boundaries, takes no focus
    CommandButton, // the platform's standard push button; never a default or cancel button
    TextBox,       // a single-line entry box
    PictureBox,    // shows a picture unscaled from its top left corner, or smaller if too tall
    DisplayBox,    // the gray surface the search prints its lines into
};

// The pictures the program carries; a front end loads each from its own resources.
enum class Picture { None, Banner, HelpPicture };

enum class WindowIcon { None, Program };

// What the title bar's close control does to a window.
enum class CloseAction {
    EndProgram, // a main window: the program ends, as File > Exit does
    Destroy,    // the help window: it goes, and the next Help makes it anew
};

enum class LineStyle { Solid, Dotted };

inline constexpr int kNoIndex = -1;

struct Control {
    std::string_view name{};
    int index = kNoIndex; // its index in a control array (txtrpo), or kNoIndex
    ControlKind kind = ControlKind::Label;
    TwipsRect rect{};
    std::string_view caption{};
    int tabIndex = 0;
    bool takesFocus = false;
    std::optional<Colour> background{}; // none: the toolkit's default
    std::optional<Colour> foreground{}; // none: the toolkit's default
    bool sunkenEdge = false;
    int maxLength = 0; // in characters (code points); 0: no limit
    Picture picture = Picture::None;
    std::optional<CommandId> command{}; // what a click runs
    std::string_view accessibleName{};  // empty: the caption serves
};

// A Ctrl+letter shortcut; key 0 means none.
struct Shortcut {
    bool ctrl = false;
    char key = 0;

    constexpr bool none() const { return key == 0; }
};

struct MenuEntry {
    std::string_view name{};
    std::string_view caption{};
    Shortcut shortcut;
    CommandId command;
};

// A menu title on the menu bar; the ampersand in its caption marks its Alt letter.
struct Menu {
    std::string_view name{};
    std::string_view caption{};
    std::span<const MenuEntry> entries;
};

// A horizontal line drawn on the window itself, from (x1, y) to (x2, y), one pixel wide, in the
// window-text colour.
struct Line {
    std::string_view name{};
    int x1;
    int y;
    int x2;
    LineStyle style;
};

struct Form {
    WindowId id;
    std::string_view name{};
    std::string_view caption{};
    TwipsSize client; // inside frame, title bar and menu bar
    Colour background;
    WindowIcon icon;
    bool canMaximize;
    CloseAction onClose;
    std::span<const Menu> menus;
    std::span<const Control> controls;
    std::span<const Line> lines;
};

// How a form stands in less height than it was drawn for: its picture gives up `giveUp` twips at
// its bottom, and what stands below the picture moves up by as much.
struct HeightFit {
    int pictureBottom = 0;
    int giveUp = 0;

    constexpr int y(int top) const { return top >= pictureBottom ? top - giveUp : top; }
    constexpr TwipsRect place(const Control& control) const {
        TwipsRect rect = control.rect;
        if (control.picture != Picture::None) {
            rect.height -= giveUp;
        } else {
            rect.top = y(rect.top);
        }
        return rect;
    }
};

// A form taller than `room`, the client height the screen's work area leaves it, takes the
// difference from its picture, so that everything under the picture ("Close Help Box" last)
// stays on the screen. The picture keeps at least a third of its height.
constexpr HeightFit fitHeight(const Form& form, int room) {
    const auto picture = std::ranges::find_if(
        form.controls, [](const Control& control) { return control.picture != Picture::None; });
    if (picture == form.controls.end()) {
        return {};
    }
    const int over = form.client.height - room;
    const int most = picture->rect.height * 2 / 3;
    return {picture->rect.bottom(), over < 0 ? 0 : (over > most ? most : over)};
}

// A small window of its own beside the lookup window, in which the user types what one of its
// tools runs on (the find box, the label box). Hiding it keeps what was typed there.
struct ToolForm {
    std::string_view name{};
    std::string_view caption{};
    TwipsSize client;
    std::span<const Control> controls; // a prompt, the one text box and two buttons
    std::string_view defaultButton{};  // the button Enter presses, which runs the tool
    std::string_view closeButton{};    // the button that hides the window, as Escape does
    ToolId tool;
};

// A tool of the lookup window, reached by its shortcut there and by its entry in the display box's
// context menu: it opens its form, or runs at once when it has none.
struct LookupTool {
    ToolId tool;
    std::string_view menuEntry{};
    Shortcut shortcut;
    const ToolForm* form = nullptr;
};

// Twips between a window's frame and that of a window placed beside it.
inline constexpr int kBesideGap = 120;

// A rectangle on the screen in a front end's own units: the owner's frame, the work area.
struct ScreenRect {
    int left;
    int top;
    int right;
    int bottom;
};

struct ScreenPoint {
    int x;
    int y;

    constexpr bool operator==(const ScreenPoint&) const = default;
};

// Where a window `width` wide and `height` high goes beside `owner`, `gap` away: right of it,
// else left of it, else below it, where it fits in `area`; and always inside `area`, so that it
// never stands where the user cannot reach it.
constexpr ScreenPoint placeBeside(ScreenRect owner, int width, int height, ScreenRect area,
                                  int gap) {
    ScreenPoint at{owner.right + gap, owner.top};
    if (at.x + width > area.right) {
        at.x = owner.left - gap - width;
        if (at.x < area.left) {
            at = {owner.left, owner.bottom + gap};
        }
    }
    const auto within = [](int value, int low, int high) {
        return value > high ? (high > low ? high : low) : (value < low ? low : value);
    };
    return {within(at.x, area.left, area.right - width),
            within(at.y, area.top, area.bottom - height)};
}

} // namespace velmora::forms
