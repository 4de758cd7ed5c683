#include "win32/find_box.hpp"

#include "core/find.hpp"
#include "forms/forms.hpp"
#include "win32/dpi.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <stdexcept>
#include <utility>

namespace velmora::win32 {
namespace {

constexpr int kWordsId = 100;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

} // namespace

void FindBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, 0,
                        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

FindBox::FindBox(HINSTANCE instance, HWND owner, std::function<void(const std::string&)> find)
    : instance_(instance), owner_(owner), find_(std::move(find)) {
    // The handle arrives in window_ through WM_NCCREATE, before any other message needs it.
    // cppcheck-suppress ignoredReturnValue
    CreateWindowExW(kExStyle, kClassName, toWide(forms::kFindForm.caption).c_str(), kStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                    instance_, this);
    if (window_ == nullptr) {
        throw std::runtime_error("The find box could not be created.");
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

FindBox::~FindBox() {
    destroyDetached(window_);
}

// Made in tab order, which the dialog keys follow; the prompt comes just before the words, so
// that a screen reader names the edit by it.
void FindBox::createControls() {
    const forms::ToolForm& form = forms::kFindForm;
    for (const forms::Control& control : forms::tabOrder(form.controls)) {
        const wchar_t* windowClass = L"Static";
        DWORD style = SS_LEFT | SS_NOPREFIX;
        int id = -1;
        HWND* kept = nullptr;
        if (control.kind == forms::ControlKind::TextBox) {
            windowClass = L"Edit";
            style = ES_AUTOHSCROLL;
            id = kWordsId;
            kept = &words_;
        } else if (control.kind == forms::ControlKind::CommandButton) {
            const bool isDefault = control.name == form.defaultButton;
            windowClass = L"Button";
            style = static_cast<DWORD>(isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            id = isDefault ? IDOK : IDCANCEL;
            kept = isDefault ? &findButton_ : nullptr;
        }
        if (control.takesFocus) {
            style |= WS_TABSTOP;
        }
        HWND made = CreateWindowExW(
            control.sunkenEdge ? DWORD{WS_EX_CLIENTEDGE} : DWORD{0}, windowClass,
            toWide(control.caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (made == nullptr) {
            throw std::runtime_error("The find box could not be created.");
        }
        placed_.push_back({&control, made});
        if (kept != nullptr) {
            *kept = made;
        }
    }
    updateFindButton();
}

void FindBox::layOut() {
    for (const auto& [control, made] : placed_) {
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(scale_.font()), FALSE);
        MoveWindow(made, scale_.toPixels(control->rect.left), scale_.toPixels(control->rect.top),
                   scale_.toPixels(control->rect.width), scale_.toPixels(control->rect.height),
                   TRUE);
    }
    const SIZE client{scale_.toPixels(forms::kFindForm.client.width),
                      scale_.toPixels(forms::kFindForm.client.height)};
    const SIZE frame = dpi::frameSizeFor(client, kStyle, kExStyle, false, scale_.dpi());
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindBox::present() {
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
    lastFocus_ = words_;
    SetFocus(words_);
    SendMessageW(words_, EM_SETSEL, 0, -1);
}

void FindBox::hide() {
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

// Blanks alone, no-break spaces among them, are no words to look for: the query itself says
// what a word is, so that an empty find, which would match every record, cannot be started.
void FindBox::updateFindButton() {
    EnableWindow(findButton_, DescriptionQuery(toUtf8(windowText(words_))).empty() ? FALSE : TRUE);
}

LRESULT CALLBACK FindBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return routeToOwner<FindBox>(
        window, message, wParam, lParam, [](FindBox& box, HWND created) { box.window_ = created; },
        [](FindBox& box, UINT what, WPARAM first, LPARAM second) {
            return box.handle(what, first, second);
        });
}

LRESULT FindBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID:
        // Enter in the words presses Find, as in a dialog box.
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kWordsId:
            if (HIWORD(wParam) == EN_CHANGE) {
                updateFindButton();
            }
            break;
        case IDOK:
            if (IsWindowEnabled(findButton_) != FALSE) {
                find_(toUtf8(windowText(words_)));
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
        if (keepFocus(window_, wParam, lastFocus_, words_)) {
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
