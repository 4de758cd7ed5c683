#include "win32/find_box.hpp"

#include "core/find.hpp"
#include "win32/dpi.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace velmora::win32 {
namespace {

constexpr int kWordsId = 100;

// The layout in twips, 15 to a pixel at 96 DPI.
constexpr int kMargin = 120;
constexpr int kWordsWidth = 4200;
constexpr int kPromptHeight = 195;
constexpr int kPromptGap = 45;
constexpr int kWordsHeight = 315;
constexpr int kButtonsGap = 180;
constexpr int kButtonWidth = 1125;
constexpr int kButtonHeight = 345;
constexpr int kButtonSpacing = 90;
// Between the lookup window's frame and the box beside it.
constexpr int kBesideGap = 120;

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
    CreateWindowExW(kExStyle, kClassName, toWide(kFindBoxTitle).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr, instance_, this);
    if (window_ == nullptr) {
        throw std::runtime_error("The find box could not be created.");
    }
    try {
        scale_.measure(window_);
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

void FindBox::createControls() {
    const auto make = [this](const wchar_t* windowClass, const std::wstring& text, DWORD style,
                             DWORD exStyle, int id) {
        HWND control = CreateWindowExW(
            exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        if (control == nullptr) {
            throw std::runtime_error("The find box could not be created.");
        }
        return control;
    };
    // The prompt comes just before the words, so that a screen reader names the edit by it.
    prompt_ = make(L"Static", toWide(kFindBoxPrompt), SS_LEFT | SS_NOPREFIX, 0, -1);
    words_ = make(L"Edit", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kWordsId);
    findButton_ = make(L"Button", toWide(kFindButtonText), WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK);
    closeButton_ = make(L"Button", toWide(kFindCloseText), WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL);
    updateFindButton();
}

void FindBox::layOut() {
    const int wordsTop = kMargin + kPromptHeight + kPromptGap;
    const int buttonsTop = wordsTop + kWordsHeight + kButtonsGap;
    const int closeLeft = kMargin + kWordsWidth - kButtonWidth;
    const int findLeft = closeLeft - kButtonSpacing - kButtonWidth;
    const auto place = [this](HWND control, int left, int top, int width, int height) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(scale_.font()), FALSE);
        MoveWindow(control, scale_.toPixels(left), scale_.toPixels(top), scale_.toPixels(width),
                   scale_.toPixels(height), TRUE);
    };
    place(prompt_, kMargin, kMargin, kWordsWidth, kPromptHeight);
    place(words_, kMargin, wordsTop, kWordsWidth, kWordsHeight);
    place(findButton_, findLeft, buttonsTop, kButtonWidth, kButtonHeight);
    place(closeButton_, closeLeft, buttonsTop, kButtonWidth, kButtonHeight);

    const SIZE client{scale_.toPixels(kMargin + kWordsWidth + kMargin),
                      scale_.toPixels(buttonsTop + kButtonHeight + kMargin)};
    const SIZE frame = dpi::frameSizeFor(client, kStyle, kExStyle, false, scale_.dpi());
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The first time, beside the lookup window's right edge, so that the display box stays in view;
// within the screen's work area where there is no room there.
void FindBox::placeBesideOwner() {
    RECT owner{};
    RECT box{};
    GetWindowRect(owner_, &owner);
    GetWindowRect(window_, &box);
    const LONG width = box.right - box.left;
    const LONG height = box.bottom - box.top;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    LONG left = owner.right + scale_.toPixels(kBesideGap);
    LONG top = owner.top;
    left = std::max(area.left, std::min(left, area.right - width));
    top = std::max(area.top, std::min(top, area.bottom - height));
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FindBox::present() {
    if (window_ == nullptr) {
        return;
    }
    if (!shownBefore_) {
        shownBefore_ = true;
        placeBesideOwner();
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

void FindBox::find() {
    if (IsWindowEnabled(findButton_) == FALSE) {
        return;
    }
    find_(toUtf8(windowText(words_)));
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
            find();
            break;
        case IDCANCEL:
            hide();
            break;
        default:
            break;
        }
        return 0;
    case WM_ACTIVATE:
        // A plain window does not give the focus back to its control on its own.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(window_, focus) != FALSE) {
                lastFocus_ = focus;
            }
        } else {
            SetFocus(lastFocus_ != nullptr && IsWindowEnabled(lastFocus_) != FALSE ? lastFocus_
                                                                                   : words_);
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
