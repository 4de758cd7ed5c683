#pragma once

#include "core/entry_limits.hpp"
#include "forms/form.hpp"

#include <algorithm>
#include <array>
#include <functional>
#include <vector>

// The program's three windows as data: the start window RPO, the lookup window RPO2 and the
// help window helpform. Every caption, place, colour and tab index stands here once; the front
// ends only read it.
namespace velmora::forms {

// One entry box for each of the search's slots; an entry box takes one code.
inline constexpr int kEntryBoxCount = kSlotCount;
inline constexpr int kEntryMaxLength = static_cast<int>(kCodeLength);

// The entry boxes txtrpo(0) to txtrpo(14) stand in a grid of five columns and three rows,
// numbered down the first column, then down the next: box i is in column i / 3, row i % 3.
inline constexpr int kEntryRows = 3;
inline constexpr TwipsRect kFirstEntryBox{1320, 120, 735, 375};
inline constexpr int kEntryColumnStep = 960;
inline constexpr int kEntryRowStep = 600;

constexpr TwipsRect entryBoxRect(int index) {
    return {kFirstEntryBox.left + index / kEntryRows * kEntryColumnStep,
            kFirstEntryBox.top + index % kEntryRows * kEntryRowStep, kFirstEntryBox.width,
            kFirstEntryBox.height};
}

// The entry boxes follow "Search " in their numbering, so that codes typed with Tab between them
// go into boxes 1, 2, 3 ...; the display box comes after the last one.
constexpr int entryBoxTabIndex(int index) {
    return index + 2;
}

// The lookup window's line that names what a paste left out of the entry boxes.
inline constexpr std::string_view kPasteNote = "pasteNote";

// Texts the windows show. Each is byte for byte, as given: leading blanks, two blanks after a
// full stop and the misspellings included. Do not tidy them.
namespace texts {

inline constexpr std::string_view kMainCaption = "3rd Generation F-body Velmora";
inline constexpr std::string_view kHelpCaption = "Velmora Help";

inline constexpr std::string_view kStartNote =
    "This program searches RPO codes for 1982 - 1992 Firebirds and Camaros.";

// Byte for byte, as given: six blanks at its start, two blanks after the first two full stops.
inline constexpr std::string_view kLookupNote =
    "      The RPO codes in this program should be valid for any 1982 - 1992 Firebird or Camaro.  "
    "RPO codes used in this program have been compiled from various sources on the internet.  "
    "There may be some RPO codes not included in this program.";

// The help notes say what the program does now: the results stay, and the table is looked for
// in more than one place.
inline constexpr std::string_view kHelpNote1 =
    "- Type one code in each white box, or paste a whole label into the first box, and click "
    "\"Search\". The results stay in the gray display box until the next search.";
inline constexpr std::string_view kHelpNote2 =
    "- Clicking the \"Clear\" button will only clear the white input boxes.";
inline constexpr std::string_view kHelpNote3 =
    "- Keep the code table RPO.txt beside the program (the current folder serves too, and on "
    "Linux the installed data folder). If it is not found, a message names each place looked.";
inline constexpr std::string_view kHelpNote4 =
    "- Keys: Ctrl+F finds codes by their description, Ctrl+L decodes a whole label, Ctrl+K checks "
    "the table, Ctrl+C copies the gray box's lines.";

inline constexpr std::string_view kLookUpCaption = "Look up RPO Codes";
// Byte for byte, as given: the blank at its end belongs to it.
inline constexpr std::string_view kSearchCaption = "Search ";
inline constexpr std::string_view kClearCaption = "Clear";
inline constexpr std::string_view kCloseHelpCaption = "Close Help Box";

inline constexpr std::string_view kFindCaption = "Find by description";
inline constexpr std::string_view kFindPrompt = "Words in the description:";
inline constexpr std::string_view kFindMenuEntry = "Find by description...";
inline constexpr std::string_view kLabelCaption = "Decode a label";
inline constexpr std::string_view kLabelPrompt = "Codes on the label, in any number:";
inline constexpr std::string_view kLabelMenuEntry = "Decode a label...";
inline constexpr std::string_view kCheckMenuEntry = "Check table";

} // namespace texts

namespace detail {

// The start and lookup windows carry the same menus.
inline constexpr std::array<MenuEntry, 1> kFileEntries{
    {{"nexit", "Exit", {true, 'Q'}, CommandId::exitProgram}}};
inline constexpr std::array<MenuEntry, 1> kHelpEntries{
    {{"nhelp2", "Help", {}, CommandId::showHelp}}};
inline constexpr std::array<Menu, 2> kMainMenus{{
    {"nfile", "&File", kFileEntries},
    {"nhelp", "&Help", kHelpEntries},
}};

inline constexpr std::array<Control, 3> kStartControls{{
    {.name = "Picture1",
     .kind = ControlKind::PictureBox,
     .rect = {0, 120, 6495, 4455},
     .tabIndex = 0,
     .takesFocus = true,
     .picture = Picture::Banner,
     .accessibleName = "Banner"},
    // Stored background: system colour 10; the standard button look does not show it.
    {.name = "cmdlookup",
     .kind = ControlKind::CommandButton,
     .rect = {2280, 4680, 2055, 615},
     .caption = texts::kLookUpCaption,
     .tabIndex = 1,
     .takesFocus = true,
     .background = systemColour(10),
     .command = CommandId::lookUpCodes},
    {.name = "Label1",
     .kind = ControlKind::Label,
     .rect = {600, 5640, 5295, 375},
     .caption = texts::kStartNote,
     .tabIndex = 2,
     .background = kBlack,
     .foreground = kWhite},
}};

inline constexpr std::array<std::string_view, kEntryBoxCount> kEntryBoxNames{
    "RPO code 1",  "RPO code 2",  "RPO code 3",  "RPO code 4",  "RPO code 5",
    "RPO code 6",  "RPO code 7",  "RPO code 8",  "RPO code 9",  "RPO code 10",
    "RPO code 11", "RPO code 12", "RPO code 13", "RPO code 14", "RPO code 15"};

constexpr Control entryBox(int index) {
    return {.name = "txtrpo",
            .index = index,
            .kind = ControlKind::TextBox,
            .rect = entryBoxRect(index),
            .tabIndex = entryBoxTabIndex(index),
            .takesFocus = true,
            .sunkenEdge = true,
            .maxLength = kEntryMaxLength,
            .accessibleName = kEntryBoxNames.at(static_cast<std::size_t>(index))};
}

inline constexpr std::array<Control, 5> kLookupOwnControls{{
    {.name = "Label1",
     .kind = ControlKind::Label,
     .rect = {1080, 6600, 5295, 855},
     .caption = texts::kLookupNote,
     .tabIndex = 0,
     .background = kBlack,
     .foreground = kWhite},
    // Stored background gray; the standard button look does not show it.
    {.name = "cmdlookup",
     .kind = ControlKind::CommandButton,
     .rect = {1320, 1920, 3135, 615},
     .caption = texts::kSearchCaption,
     .tabIndex = 1,
     .takesFocus = true,
     .background = kGray,
     .command = CommandId::search},
    {.name = "pic1",
     .kind = ControlKind::DisplayBox,
     .rect = {120, 2760, 6975, 3615},
     .tabIndex = entryBoxTabIndex(kEntryBoxCount),
     .takesFocus = true,
     .background = kGray,
     .sunkenEdge = true,
     .accessibleName = "Search results"},
    {.name = "cmdclear",
     .kind = ControlKind::CommandButton,
     .rect = {4800, 1920, 1095, 615},
     .caption = texts::kClearCaption,
     .tabIndex = 18,
     .takesFocus = true,
     .command = CommandId::clearEntries},
    // What a paste left out, on the free strip between the display box and Label1; empty until
    // then.
    {.name = kPasteNote,
     .kind = ControlKind::Label,
     .rect = {120, 6375, 6975, 225},
     .tabIndex = 19,
     .background = kBlack,
     .foreground = kYellow},
}};

// The window's own controls, then the fifteen entry boxes.
constexpr std::array<Control, kLookupOwnControls.size() + kEntryBoxCount> lookupControls() {
    std::array<Control, kLookupOwnControls.size() + kEntryBoxCount> controls{};
    auto* next = std::ranges::copy(kLookupOwnControls, controls.begin()).out;
    for (int index = 0; index < kEntryBoxCount; ++index) {
        *next++ = entryBox(index);
    }
    return controls;
}

inline constexpr auto kLookupControls = lookupControls();

// One of the help window's notes under the picture, on white, as wide as the window.
constexpr Control helpNote(std::string_view name, int top, int height, std::string_view note,
                           int tabIndex) {
    return {.name = name,
            .kind = ControlKind::Label,
            .rect = {240, top, 5775, height},
            .caption = note,
            .tabIndex = tabIndex,
            .background = kWhite};
}

// The notes' boxes leave room for a wider font than the one the layout was drawn with, so that
// all four show at one size.
inline constexpr std::array<Control, 6> kHelpControls{{
    {.name = "Command1",
     .kind = ControlKind::CommandButton,
     .rect = {1800, 10440, 2295, 615},
     .caption = texts::kCloseHelpCaption,
     .tabIndex = 0,
     .takesFocus = true,
     .command = CommandId::closeHelp},
    // No border; its background, system colour 15, shows in the strip right of the picture.
    {.name = "Picture1",
     .kind = ControlKind::PictureBox,
     .rect = {0, 120, 6135, 6615},
     .tabIndex = 1,
     .takesFocus = true,
     .background = systemColour(15),
     .picture = Picture::HelpPicture,
     .accessibleName = "Help picture"},
    helpNote("Label1", 7080, 735, texts::kHelpNote1, 2),
    helpNote("Label2", 7920, 255, texts::kHelpNote2, 3),
    helpNote("Label3", 8400, 735, texts::kHelpNote3, 4),
    helpNote("Label4", 9240, 735, texts::kHelpNote4, 5),
}};

// Line1 starts 120 twips left of the client area; the other two are dotted.
inline constexpr std::array<Line, 3> kHelpLines{{
    {"Line1", -120, 6840, 6120, LineStyle::Solid},
    {"Line2", 0, 8280, 6120, LineStyle::Dotted},
    {"Line3", 0, 10080, 6120, LineStyle::Dotted},
}};

// A tool form's controls, named in `names` (prompt, text box, run button, Close): the prompt over
// the text box, `width` twips wide, and the buttons at the right, right-aligned with it.
constexpr std::array<Control, 4> toolControls(const std::array<std::string_view, 4>& names,
                                              int width, std::string_view prompt,
                                              std::string_view run) {
    constexpr int kButton = 1125;
    const int right = 120 + width;
    return {{
        {.name = names[0], .rect = {120, 120, width, 195}, .caption = prompt, .tabIndex = 0},
        {.name = names[1],
         .kind = ControlKind::TextBox,
         .rect = {120, 360, width, 315},
         .tabIndex = 1,
         .takesFocus = true,
         .sunkenEdge = true,
         .accessibleName = prompt},
        {.name = names[2],
         .kind = ControlKind::CommandButton,
         .rect = {right - 2 * kButton - 90, 855, kButton, 345},
         .caption = run,
         .tabIndex = 2,
         .takesFocus = true},
        {.name = names[3],
         .kind = ControlKind::CommandButton,
         .rect = {right - kButton, 855, kButton, 345},
         .caption = "Close",
         .tabIndex = 3,
         .takesFocus = true},
    }};
}

inline constexpr auto kFindControls = toolControls(
    {"findPrompt", "findWords", "findButton", "findClose"}, 4200, texts::kFindPrompt, "Find");
inline constexpr auto kLabelControls =
    toolControls({"labelPrompt", "labelCodes", "decodeButton", "labelClose"}, 5700,
                 texts::kLabelPrompt, "Decode");

} // namespace detail

inline constexpr Form kStartForm{
    .id = WindowId::start,
    .name = "RPO",
    .caption = texts::kMainCaption,
    .client = {6495, 6240},
    .background = kBlack,
    .icon = WindowIcon::Program,
    .canMaximize = false,
    .onClose = CloseAction::EndProgram,
    .menus = detail::kMainMenus,
    .controls = detail::kStartControls,
    .lines = {},
};

inline constexpr Form kLookupForm{
    .id = WindowId::lookup,
    .name = "RPO2",
    .caption = texts::kMainCaption,
    .client = {7215, 7545},
    .background = kBlack,
    .icon = WindowIcon::None,
    .canMaximize = false,
    .onClose = CloseAction::EndProgram,
    .menus = detail::kMainMenus,
    .controls = detail::kLookupControls,
    .lines = {},
};

inline constexpr Form kHelpForm{
    .id = WindowId::help,
    .name = "helpform",
    .caption = texts::kHelpCaption,
    .client = {6120, 11430},
    .background = kWhite,
    .icon = WindowIcon::None,
    .canMaximize = true,
    .onClose = CloseAction::Destroy,
    .menus = {},
    .controls = detail::kHelpControls,
    .lines = detail::kHelpLines,
};

// Find by description: the words to look for in the table's descriptions.
inline constexpr ToolForm kFindForm{
    .name = "findBox",
    .caption = texts::kFindCaption,
    .client = {4440, 1320},
    .controls = detail::kFindControls,
    .defaultButton = "findButton",
    .closeButton = "findClose",
    .tool = ToolId::findByDescription,
};

// Decode a label: the codes of a whole label, typed or pasted, separated as paste separates them.
inline constexpr ToolForm kLabelForm{
    .name = "labelBox",
    .caption = texts::kLabelCaption,
    .client = {5940, 1320},
    .controls = detail::kLabelControls,
    .defaultButton = "decodeButton",
    .closeButton = "labelClose",
    .tool = ToolId::decodeLabel,
};

// In the order of the tool ids.
inline constexpr std::array<LookupTool, 3> kLookupTools{{
    {ToolId::findByDescription, texts::kFindMenuEntry, {true, 'F'}, &kFindForm},
    {ToolId::decodeLabel, texts::kLabelMenuEntry, {true, 'L'}, &kLabelForm},
    {ToolId::checkTable, texts::kCheckMenuEntry, {true, 'K'}},
}};

// In the order of the window ids.
inline constexpr std::array<const Form*, 3> kForms{&kStartForm, &kLookupForm, &kHelpForm};

constexpr const Form& form(WindowId window) {
    return *kForms.at(static_cast<std::size_t>(window));
}

// The control of that name (and array index), or nullptr.
constexpr const Control* findControl(const Form& form, std::string_view name,
                                     int index = kNoIndex) {
    const auto found = std::ranges::find_if(form.controls, [&](const Control& control) {
        return control.name == name && control.index == index;
    });
    return found == form.controls.end() ? nullptr : &*found;
}

// The controls in the order of their tab indices.
constexpr std::vector<std::reference_wrapper<const Control>>
tabOrder(std::span<const Control> controls) {
    std::vector<std::reference_wrapper<const Control>> order(controls.begin(), controls.end());
    std::ranges::sort(order, {}, [](const Control& control) { return control.tabIndex; });
    return order;
}

// The control that has the focus when the window is first shown: the first in tab order that
// can take it.
constexpr const Control* firstFocus(const Form& form) {
    const auto order = tabOrder(form.controls);
    const auto found =
        std::ranges::find_if(order, [](const Control& control) { return control.takesFocus; });
    return found == order.end() ? nullptr : &found->get();
}

} // namespace velmora::forms
