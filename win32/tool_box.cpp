#include "win32/tool_box.hpp"

#include "forms/forms.hpp"
#include "win32/dpi.hpp"
#include "win32/entry_box.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <stdexcept>
#include <string>

namespace velmora::win32 {
namespace {

constexpr int kTextId = 100;
// About what an edit control holds before it is told otherwise.
constexpr int kMostCharacters = 32767;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

} // namespace

void ToolBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, 0,
                        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

ToolBox::ToolBox(HINSTANCE instance, HWND owner, const forms::ToolForm& form, WindowPort& port)
    : instance_(instance), owner_(owner), form_(form), port_(port) {
    // The handle arrives in window_ through WM_NCCREATE, before any other message needs it.
    // cppcheck-suppress ignoredReturnValue
    CreateWindowExW(kExStyle, kClassName, toWide(form_.caption).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, instance_, this);
    if (window_ == nullptr) {
        throw std::runtime_error("A tool box could not be created.");
    }
    try {
        scale_.change(dpi::of(window_), [] {});
        createControls();
        layOut();
    } catch (...) {
        // The handle must not outlive the object it points to.
        destroyDetached(window_);
        throw;
    }
}

ToolBox::~ToolBox() {
    destroyDetached(window_);
}

// Made in tab order, which the dialog keys follow; the prompt comes just before the text, so
// that a screen reader names the edit by it.
void ToolBox::createControls() {
    for (const forms::Control& control : forms::tabOrder(form_.controls)) {
        const wchar_t* windowClass = L"Static";
        DWORD style = SS_LEFT | SS_NOPREFIX;
        int id = -1;
        HWND* kept = nullptr;
        if (control.kind == forms::ControlKind::TextBox) {
            windowClass = L"Edit";
            style = ES_AUTOHSCROLL;
            id = kTextId;
            kept = &text_;
        } else if (control.kind == forms::ControlKind::CommandButton) {
            const bool isDefault = control.name == form_.defaultButton;
            windowClass = L"Button";
            style = static_cast<DWORD>(isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            id = isDefault ? IDOK : IDCANCEL;
            kept = isDefault ? &runButton_ : nullptr;
        }
        if (control.takesFocus) {
            style |= WS_TABSTOP;
        }
        HWND made = CreateWindowExW(
            control.sunkenEdge ? DWORD{WS_EX_CLIENTEDGE} : DWORD{0}, windowClass,
            toWide(control.caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (made == nullptr) {
            throw std::runtime_error("A tool box could not be created.");
        }
        placed_.push_back({&control, made});
        if (kept != nullptr) {
            *kept = made;
        }
    }
    // A single-line edit would keep only the first line of a pasted text: the lines of a label
    // go in whole, side by side.
    EntryBox::attach(text_, kMostCharacters, [](HWND edit, const std::wstring& pasted) {
        std::wstring joined;
        for (std::size_t i = 0; i < pasted.size(); ++i) {
            const wchar_t unit = pasted[i];
            if (unit != L'\r' || i + 1 == pasted.size() || pasted[i + 1] != L'\n') {
                joined += unit == L'\r' || unit == L'\n' ? L' ' : unit;
            }
        }
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(joined.c_str()));
    });
    updateRunButton();
}

void ToolBox::layOut() {
    for (const auto& [control, made] : placed_) {
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(scale_.font()), FALSE);
        MoveWindow(made, scale_.toPixels(control->rect.left), scale_.toPixels(control->rect.top),
                   scale_.toPixels(control->rect.width), scale_.toPixels(control->rect.height),
                   TRUE);
    }
    const SIZE client{scale_.toPixels(form_.client.width), scale_.toPixels(form_.client.height)};
    const SIZE frame = dpi::frameSizeFor(client, kStyle, kExStyle, false, scale_.dpi());
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ToolBox::present() {
    if (window_ == nullptr) {
        return;
    }
    // The first time, beside the lookup window, so that the display box stays in view.
    if (!shownBefore_) {
        shownBefore_ = true;
        placeBeside(window_, owner_);
    }
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetActiveWindow(window_);
    lastFocus_ = text_;
    SetFocus(text_);
    SendMessageW(text_, EM_SETSEL, 0, -1);
}

void ToolBox::hide() {
    if (window_ == nullptr || IsWindowVisible(window_) == FALSE) {
        return;
    }
    const bool wasActive = GetActiveWindow() == window_;
    ShowWindow(window_, SW_HIDE);
    // The lookup window takes the keyboard back, as it had it before.
    if (wasActive && IsWindowVisible(owner_) != FALSE) {
        SetForegroundWindow(owner_);
        SetActiveWindow(owner_);
    }
}

// The tool itself says what it can run on: blanks alone are no words to find, and would find
// every record; a label needs a code.
void ToolBox::updateRunButton() {
    EnableWindow(runButton_, toolAccepts(form_.tool, toUtf8(windowText(text_))) ? TRUE : FALSE);
}

LRESULT CALLBACK ToolBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return routeToOwner<ToolBox>(
        window, message, wParam, lParam, [](ToolBox& box, HWND created) { box.window_ = created; },
        [](ToolBox& box, UINT what, WPARAM first, LPARAM second) {
            return box.handle(what, first, second);
        });
}

LRESULT ToolBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID:
        // Enter in the text presses the run button, as in a dialog box.
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kTextId:
            if (HIWORD(wParam) == EN_CHANGE) {
                updateRunButton();
            }
            break;
        case IDOK:
            if (IsWindowEnabled(runButton_) != FALSE) {
                runTool(form_.tool, port_, toUtf8(windowText(text_)));
            }
            break;
        case IDCANCEL:
            hide();
            break;
        default:
            break;
        }
        return 0;
    case WM_ACTIVATE:
        if (keepFocus(window_, wParam, lastFocus_, text_)) {
            return 0;
        }
        break;
    case WM_CLOSE:
        hide();
        return 0;
    case WM_DPICHANGED: {
        scale_.change(HIWORD(wParam), [this] { layOut(); });
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        // Gone with the lookup window that owns it.
        window_ = nullptr;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

} // namespace velmora::win32
