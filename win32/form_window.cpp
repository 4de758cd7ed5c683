#include "win32/form_window.hpp"

#include "core/paste.hpp"
#include "forms/forms.hpp"
#include "win32/display_box.hpp"
#include "win32/dpi.hpp"
#include "win32/entry_box.hpp"
#include "win32/owned_window.hpp"
#include "win32/picture_box.hpp"
#include "win32/resource_ids.h"
#include "win32/wide.hpp"

#include <algorithm>
#include <cctype>
#include <commctrl.h>
#include <stdexcept>
#include <windowsx.h>

namespace velmora::win32 {
namespace {

constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;
// The smallest size a label's font is brought down to so that its whole text shows.
constexpr int kSmallestLabelPoints = 6;

DWORD frameStyle(const forms::Form& form) {
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (!form.canMaximize) {
        // With minimize kept, the title bar shows maximize disabled.
        style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    }
    return style;
}

// No button is a default button: the dialog keys would give the focused one the default look
// and, on a plain window, not take it back.
LRESULT CALLBACK plainButton(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                             UINT_PTR /*id*/, DWORD_PTR /*data*/) {
    if (message == BM_SETSTYLE && (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
        wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_PUSHBUTTON;
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, plainButton, 1);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

int menuId(CommandId command) {
    return kFirstMenuId + static_cast<int>(command);
}

} // namespace

void FormWindow::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure);
}

FormWindow::FormWindow(const forms::Form& form, FormHost& host, HINSTANCE instance)
    : form_(form), host_(host), instance_(instance) {
    const std::wstring caption = toWide(form_.caption);
    // The handle arrives in window_ through WM_NCCREATE, before any other message needs it.
    // cppcheck-suppress ignoredReturnValue
    CreateWindowExW(0, kClassName, caption.c_str(), frameStyle(form_), CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_, this);
    if (window_ == nullptr) {
        throw std::runtime_error("A window could not be created.");
    }
    try {
        build();
    } catch (...) {
        // The handle must not outlive the object it points to.
        release();
        throw;
    }
}

void FormWindow::build() {
    scale_.change(dpi::of(window_), [] {});
    createMenus();
    createControls();
    layOut();
    sizeFrame();

    if (form_.icon == forms::WindowIcon::Program) {
        const auto load = [this](int metric) {
            const int side = dpi::systemMetric(metric, scale_.dpi());
            return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(VELMORA_ICON_PROGRAM),
                                                 IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
        };
        bigIcon_ = load(SM_CXICON);
        smallIcon_ = load(SM_CXSMICON);
    }
    // A window without the program icon has none: not even the system's default picture.
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

FormWindow::~FormWindow() {
    release();
}

// Called once, by the destructor or a failed constructor; freeing a null handle does nothing.
void FormWindow::release() {
    // The handle goes before what it holds, so that nothing is drawn after it is freed.
    destroyDetached(window_);
    for (const Placed& placed : controls_) {
        DeleteObject(placed.ownFont);
    }
    for (const auto& [value, made] : brushes_) {
        if (!forms::isSystemColour(value)) {
            DeleteObject(made);
        }
    }
    DestroyIcon(bigIcon_);
    DestroyIcon(smallIcon_);
    DestroyAcceleratorTable(accelerators_);
}

HWND FormWindow::controlOfKind(forms::ControlKind kind, int index) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&](const Placed& placed) {
        return placed.control->kind == kind && placed.control->index == index;
    });
    return found != controls_.end() ? found->window : nullptr;
}

void FormWindow::show() {
    ShowWindow(window_, !shownBefore_ || IsIconic(window_) != FALSE ? SW_SHOWNORMAL : SW_SHOW);
    SetForegroundWindow(window_);
    if (!shownBefore_) {
        shownBefore_ = true;
        if (const forms::Control* first = forms::firstFocus(form_)) {
            const auto placed = std::ranges::find(controls_, first, &Placed::control);
            lastFocus_ = placed != controls_.end() ? placed->window : nullptr;
            SetFocus(lastFocus_);
        }
    }
}

// The menus, and the accelerator table of their shortcuts.
void FormWindow::createMenus() {
    std::vector<ACCEL> keys;
    const auto add = [&keys](const forms::Shortcut& shortcut, int command) {
        ACCEL key{};
        key.fVirt = FVIRTKEY | (shortcut.ctrl ? FCONTROL : 0);
        // A letter's virtual key is its upper-case character.
        key.key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(shortcut.key)));
        key.cmd = static_cast<WORD>(command);
        keys.push_back(key);
    };
    HMENU bar = form_.menus.empty() ? nullptr : CreateMenu();
    for (const forms::Menu& menu : form_.menus) {
        HMENU entries = CreatePopupMenu();
        for (const forms::MenuEntry& entry : menu.entries) {
            std::wstring caption = toWide(entry.caption);
            if (!entry.shortcut.none()) {
                caption += L"\tCtrl+";
                caption += static_cast<wchar_t>(entry.shortcut.key);
                add(entry.shortcut, menuId(entry.command));
            }
            AppendMenuW(entries, MF_STRING, static_cast<UINT_PTR>(menuId(entry.command)),
                        caption.c_str());
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(entries),
                    toWide(menu.caption).c_str());
    }
    SetMenu(window_, bar);
    // The lookup window's tools have shortcuts outside the menus, which stay as they are.
    if (form_.id == WindowId::lookup) {
        for (const forms::LookupTool& tool : forms::kLookupTools) {
            add(tool.shortcut, DisplayBox::kToolCommand + static_cast<int>(tool.tool));
        }
    }
    if (!keys.empty()) {
        accelerators_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    }
}

// Made in tab order, so that the child order the keyboard follows is the tab order.
void FormWindow::createControls() {
    for (const forms::Control& made : forms::tabOrder(form_.controls)) {
        const auto i = static_cast<int>(&made - form_.controls.data());
        controls_.push_back({&made, createControl(made, kFirstControlId + i), nullptr});
        if (made.name == forms::kPasteNote) {
            pasteNote_ = controls_.back().window;
        }
    }
}

HWND FormWindow::createControl(const forms::Control& control, int id) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    const wchar_t* className = L"STATIC";
    std::wstring text = toWide(control.caption);
    switch (control.kind) {
    case forms::ControlKind::Label:
        // The paste note is one line, cut at the window's edge rather than wrapped out of sight.
        style |= SS_NOPREFIX |
                 (control.name == forms::kPasteNote ? DWORD{SS_LEFTNOWORDWRAP} : DWORD{SS_LEFT});
        break;
    case forms::ControlKind::CommandButton:
        className = L"BUTTON";
        style |= BS_PUSHBUTTON;
        break;
    case forms::ControlKind::TextBox:
        className = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        break;
    case forms::ControlKind::PictureBox:
        className = PictureBox::kClassName;
        text = toWide(control.accessibleName);
        break;
    case forms::ControlKind::DisplayBox:
        className = DisplayBox::kClassName;
        text = toWide(control.accessibleName);
        break;
    }
    if (control.takesFocus) {
        style |= WS_TABSTOP;
    }
    if (control.sunkenEdge) {
        exStyle |= WS_EX_CLIENTEDGE;
    }
    HWND child =
        CreateWindowExW(exStyle, className, text.c_str(), style, 0, 0, 0, 0, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (control.kind == forms::ControlKind::TextBox) {
        EntryBox::attach(child, control.maxLength > 0 ? control.maxLength : 0x7FFF,
                         [this](HWND box, const std::wstring& pasted) { onPaste(box, pasted); });
    }
    if (!control.accessibleName.empty()) {
        host_.nameForScreenReaders(child, toWide(control.accessibleName));
    }
    if (control.kind == forms::ControlKind::CommandButton) {
        SetWindowSubclass(child, plainButton, 1, 0);
    }
    if (control.kind == forms::ControlKind::PictureBox) {
        const int resource =
            control.picture == forms::Picture::Banner ? VELMORA_BITMAP_BANNER : VELMORA_BITMAP_HELP;
        PictureBox::setPicture(child, resource,
                               brush(control.background.value_or(form_.background)));
    }
    return child;
}

void FormWindow::layOut() {
    // On a monitor too short for the form, the picture gives up height.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
    const SIZE chrome =
        dpi::frameSizeFor({0, 0}, frameStyle(form_), 0, !form_.menus.empty(), scale_.dpi());
    fit_ = forms::fitHeight(form_, MulDiv(monitor.rcWork.bottom - monitor.rcWork.top - chrome.cy,
                                          dpi::kTwipsPerInch, static_cast<int>(scale_.dpi())));
    for (Placed& placed : controls_) {
        const forms::TwipsRect rect = fit_.place(*placed.control);
        MoveWindow(placed.window, scale_.toPixels(rect.left), scale_.toPixels(rect.top),
                   scale_.toPixels(rect.width), scale_.toPixels(rect.height), FALSE);
        SendMessageW(placed.window, WM_SETFONT, reinterpret_cast<WPARAM>(scale_.font()), FALSE);
        if (placed.control->kind == forms::ControlKind::Label) {
            fitLabel(placed);
        }
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void FormWindow::sizeFrame() {
    const SIZE client{scale_.toPixels(form_.client.width),
                      scale_.toPixels(form_.client.height - fit_.giveUp)};
    const SIZE frame =
        dpi::frameSizeFor(client, frameStyle(form_), 0, !form_.menus.empty(), scale_.dpi());
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps on a narrow window takes more height than the frame allowed.
    RECT actual{};
    GetClientRect(window_, &actual);
    if (actual.bottom < client.cy) {
        SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy + client.cy - actual.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Where the platform's font is wider than the layout allowed for, the label is drawn a little
// smaller, so that every word shows and nothing moves.
void FormWindow::fitLabel(Placed& label) {
    DeleteObject(label.ownFont);
    RECT box{};
    GetClientRect(label.window, &box);
    const std::wstring text = toWide(label.control->caption);
    LOGFONTW shape{};
    GetObjectW(scale_.font(), sizeof(shape), &shape);
    const int smallest = dpi::fontHeight(kSmallestLabelPoints, scale_.dpi());
    HDC dc = GetDC(label.window);
    HFONT candidate = nullptr;
    for (;;) {
        HGDIOBJ previous = SelectObject(dc, candidate != nullptr ? candidate : scale_.font());
        RECT needed = box;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
                  DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
        SelectObject(dc, previous);
        if (needed.bottom <= box.bottom || shape.lfHeight >= smallest) {
            break;
        }
        DeleteObject(candidate);
        ++shape.lfHeight;
        candidate = CreateFontIndirectW(&shape);
    }
    ReleaseDC(label.window, dc);
    label.ownFont = candidate;
    if (candidate != nullptr) {
        SendMessageW(label.window, WM_SETFONT, reinterpret_cast<WPARAM>(candidate), FALSE);
    }
}

HBRUSH FormWindow::brush(forms::Colour value) {
    const auto known = brushes_.find(value);
    if (known != brushes_.end()) {
        return known->second;
    }
    HBRUSH made = forms::isSystemColour(value) ? GetSysColorBrush(forms::systemColourEntry(value))
                                               : CreateSolidBrush(colour(value));
    brushes_.emplace(value, made);
    return made;
}

COLORREF FormWindow::colour(forms::Colour value) const {
    if (forms::isSystemColour(value)) {
        return GetSysColor(forms::systemColourEntry(value));
    }
    return RGB(forms::red(value), forms::green(value), forms::blue(value));
}

const FormWindow::Placed* FormWindow::placedFor(HWND child) const {
    const auto found = std::ranges::find(controls_, child, &Placed::window);
    return found != controls_.end() ? &*found : nullptr;
}

LRESULT CALLBACK FormWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return routeToOwner<FormWindow>(
        window, message, wParam, lParam,
        [](FormWindow& form, HWND created) { form.window_ = created; },
        [](FormWindow& form, UINT what, WPARAM first, LPARAM second) {
            return form.handle(what, first, second);
        });
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush(form_.background));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = BeginPaint(window_, &paint);
        for (const forms::Line& line : form_.lines) {
            // A dotted line sets every other pixel.
            const LOGBRUSH ink{BS_SOLID, GetSysColor(COLOR_WINDOWTEXT), 0};
            const DWORD style = line.style == forms::LineStyle::Dotted ? PS_ALTERNATE : PS_SOLID;
            HPEN pen = ExtCreatePen(PS_COSMETIC | style, 1, &ink, 0, nullptr);
            HGDIOBJ previous = SelectObject(dc, pen);
            const int y = scale_.toPixels(fit_.y(line.y));
            MoveToEx(dc, scale_.toPixels(line.x1), y, nullptr);
            LineTo(dc, scale_.toPixels(line.x2), y);
            SelectObject(dc, previous);
            DeleteObject(pen);
        }
        EndPaint(window_, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return onControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL: {
        // The wheel scrolls the display box under the pointer, wherever the focus is.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        HWND under = WindowFromPoint(at);
        if (under != window_ && IsChild(window_, under) != FALSE &&
            DisplayBox::from(under) != nullptr) {
            return SendMessageW(under, message, wParam, lParam);
        }
        break;
    }
    // A click anywhere in the window takes the paste note away.
    case WM_PARENTNOTIFY:
        if (const UINT what = LOWORD(wParam);
            what == WM_LBUTTONDOWN || what == WM_RBUTTONDOWN || what == WM_MBUTTONDOWN) {
            showPasteNote({});
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        showPasteNote({});
        break;
    case WM_ACTIVATE:
        if (keepFocus(window_, wParam, lastFocus_)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        keepFocus(window_, WA_ACTIVE, lastFocus_);
        return 0;
    case WM_DPICHANGED: {
        scale_.change(HIWORD(wParam), [this] { layOut(); });
        // The frame takes the size the system suggests, which keeps a size the user chose.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_CLOSE:
        if (form_.onClose == forms::CloseAction::EndProgram) {
            host_.endProgram();
        } else {
            DestroyWindow(window_);
        }
        return 0;
    case WM_DESTROY:
        window_ = nullptr;
        host_.destroyed(form_.id);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT FormWindow::onControlColour(HDC dc, HWND control) {
    const Placed* placed = placedFor(control);
    const forms::Colour background = placed != nullptr
                                         ? placed->control->background.value_or(form_.background)
                                         : form_.background;
    // A button only takes the window's colour for the corners around its face.
    if (placed != nullptr && placed->control->kind == forms::ControlKind::CommandButton) {
        return reinterpret_cast<LRESULT>(brush(form_.background));
    }
    SetBkColor(dc, colour(background));
    SetTextColor(dc, placed != nullptr && placed->control->foreground.has_value()
                         ? colour(*placed->control->foreground)
                         : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(brush(background));
}

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int tool = id - DisplayBox::kToolCommand;
    if (lParam == 0 && tool >= 0 && tool < std::ssize(forms::kLookupTools)) {
        host_.openTool(static_cast<ToolId>(tool));
        return;
    }
    if (lParam == 0 && id == IDCANCEL && form_.id == WindowId::help) {
        // Escape closes the help window as "Close Help Box" does.
        host_.runCommand(CommandId::closeHelp);
        return;
    }
    if (lParam == 0) {
        // A menu entry or its shortcut.
        const int command = id - kFirstMenuId;
        if (command >= 0 && command < kCommandCount) {
            host_.runCommand(static_cast<CommandId>(command));
        }
        return;
    }
    // The paste note stays until a box changes or a button is pressed.
    if (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == BN_CLICKED) {
        showPasteNote({});
    }
    if (HIWORD(wParam) != BN_CLICKED) {
        return;
    }
    const Placed* placed = placedFor(reinterpret_cast<HWND>(lParam));
    if (placed != nullptr && placed->control->command.has_value()) {
        host_.runCommand(*placed->control->command);
    }
}

// The paste's texts go to the boxes of the pasted box's array; the focus and the note follow it.
void FormWindow::onPaste(HWND box, const std::wstring& pasted) {
    const Placed* target = placedFor(box);
    if (target == nullptr) {
        return;
    }
    const forms::Control& pastedInto = *target->control;
    std::vector<HWND> boxes;
    for (const Placed& placed : controls_) {
        if (placed.control->name == pastedInto.name) {
            const auto at = static_cast<std::size_t>(std::max(placed.control->index, 0));
            boxes.resize(std::max(boxes.size(), at + 1));
            boxes[at] = placed.window;
        }
    }
    std::vector<std::string> texts(boxes.size());
    std::transform(boxes.begin(), boxes.end(), texts.begin(), [](HWND each) {
        return each != nullptr ? toUtf8(windowText(each)) : std::string();
    });
    // The core works in UTF-8 byte offsets; the box counts UTF-16 units.
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring current = windowText(box);
    const auto utf8Length = [&current](DWORD units) {
        return toUtf8(current.substr(0, std::min<std::size_t>(units, current.size()))).size();
    };
    const auto into = static_cast<std::size_t>(std::max(pastedInto.index, 0));
    const paste::Result result =
        paste::apply(texts, {into, utf8Length(from), utf8Length(to)}, toUtf8(pasted));

    for (std::size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i] != nullptr && result.texts[i] != texts[i]) {
            // Over the whole text rather than with SetWindowText, so that Undo takes it back.
            SendMessageW(boxes[i], EM_SETSEL, 0, -1);
            SendMessageW(boxes[i], EM_REPLACESEL, TRUE,
                         reinterpret_cast<LPARAM>(toWide(result.texts[i]).c_str()));
        }
    }
    HWND focus = boxes[result.focus] != nullptr ? boxes[result.focus] : box;
    const std::string& focused = result.texts[result.focus];
    const auto units = [&focused](std::size_t bytes) {
        return static_cast<WPARAM>(toWide(focused.substr(0, bytes)).size());
    };
    SetFocus(focus);
    SendMessageW(focus, EM_SETSEL, units(result.selectionStart),
                 static_cast<LPARAM>(units(result.selectionEnd)));
    showPasteNote(toWide(result.note));
}

// A line that screen readers are told of (its text is its name); it stays until the user goes on.
void FormWindow::showPasteNote(const std::wstring& note) {
    if (pasteNote_ == nullptr || windowText(pasteNote_) == note) {
        return;
    }
    SetWindowTextW(pasteNote_, note.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, pasteNote_, OBJID_CLIENT, CHILDID_SELF);
    if (!note.empty()) {
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, pasteNote_, OBJID_CLIENT, CHILDID_SELF);
    }
}

} // namespace velmora::win32
