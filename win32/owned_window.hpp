#pragma once

#include "forms/form.hpp"
#include "win32/dpi.hpp"
#include "win32/wide.hpp"

#include <exception>
#include <new>
#include <windows.h>

namespace velmora::win32 {

inline constexpr const wchar_t* kMessageTitle = L"Velmora";

// Registers a window class of the program's own, with the arrow cursor; a class that draws its
// own background passes no brush.
inline void registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                                UINT style = 0, HBRUSH background = nullptr, int extraBytes = 0) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = extraBytes;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

// The body of a window procedure for a window of an object of `Owner`, the creation parameter:
// `attach` ties the two at WM_NCCREATE, and `handle` takes every message up to WM_DESTROY. No
// failure may unwind through the system's code: it is told, and the window goes on.
template <typename Owner, typename Attach, typename Handle>
LRESULT routeToOwner(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Attach attach,
                     Handle handle) {
    if (message == WM_NCCREATE) {
        auto* created =
            static_cast<Owner*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        attach(*created, window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* owner = reinterpret_cast<Owner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (owner == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    try {
        result = handle(*owner, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        MessageBoxW(window, L"The program ran out of memory; the last action was stopped.",
                    kMessageTitle, MB_OK | MB_ICONERROR);
    } catch (const std::exception& failure) {
        MessageBoxW(window, toWide(failure.what()).c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
    }
    if (message == WM_DESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return result;
}

// On WM_ACTIVATE, keeps in `last` the control that had the focus when the window was
// deactivated, and gives the focus back to it (or to `fallback`) on activation, as a dialog box
// does. True when it set the focus, which the system then must not.
inline bool keepFocus(HWND window, WPARAM activation, HWND& last, HWND fallback = nullptr) {
    if (LOWORD(activation) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus) != FALSE) {
            last = focus;
        }
        return false;
    }
    HWND to = IsWindow(last) != FALSE && IsWindowEnabled(last) != FALSE ? last : fallback;
    if (to != nullptr) {
        SetFocus(to);
    }
    return to != nullptr;
}

// Cuts the window off from its owner object, which is going, and destroys it: nothing its
// destruction sends reaches the object again. The handle is null afterwards.
inline void destroyDetached(HWND& window) {
    if (window != nullptr) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
        window = nullptr;
    }
}

// Moves `window` beside `owner` by forms::placeBeside, in the work area of the owner's screen.
inline void placeBeside(HWND window, HWND owner) {
    RECT ownerFrame{};
    RECT box{};
    GetWindowRect(owner, &ownerFrame);
    GetWindowRect(window, &box);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    const forms::ScreenPoint at = forms::placeBeside(
        {ownerFrame.left, ownerFrame.top, ownerFrame.right, ownerFrame.bottom},
        box.right - box.left, box.bottom - box.top, {area.left, area.top, area.right, area.bottom},
        dpi::toPixels(forms::kBesideGap, dpi::of(owner)));
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace velmora::win32
