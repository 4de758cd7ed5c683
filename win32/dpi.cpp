#include "win32/dpi.hpp"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace velmora::win32::dpi {
namespace {

constexpr int kDialogFontPoints = 8;

// The per-monitor functions exist from Windows 10 on; older systems get the system-wide DPI.
template <typename Function> Function find(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    if (user == nullptr) {
        return nullptr;
    }
    // A generic function pointer first: the documented way from GetProcAddress's result.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user, name)));
}

unsigned systemDpi() {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? static_cast<unsigned>(value) : kDefault;
}

} // namespace

unsigned of(HWND window) {
    static const auto getDpiForWindow = find<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT value = getDpiForWindow(window);
        if (value != 0) {
            return value;
        }
    }
    return systemDpi();
}

SIZE frameSizeFor(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, unsigned dpi) {
    static const auto adjustForDpi =
        find<BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, hasMenu ? TRUE : FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, hasMenu ? TRUE : FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

int systemMetric(int index, unsigned dpi) {
    static const auto metricsForDpi = find<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (metricsForDpi != nullptr) {
        return metricsForDpi(index, dpi);
    }
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(systemDpi()));
}

HFONT createDialogFont(unsigned dpi) {
    static const auto parametersForDpi =
        find<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    const BOOL known =
        parametersForDpi != nullptr
            ? parametersForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, dpi)
            : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
    LOGFONTW font = known != FALSE ? metrics.lfMessageFont : LOGFONTW{};
    if (known == FALSE) {
        constexpr std::wstring_view kShellFont = L"MS Shell Dlg 2";
        std::copy(kShellFont.begin(), kShellFont.end(), std::begin(font.lfFaceName));
        font.lfCharSet = DEFAULT_CHARSET;
    }
    font.lfHeight = fontHeight(kDialogFontPoints, dpi);
    font.lfWidth = 0;
    font.lfWeight = FW_NORMAL;
    font.lfItalic = FALSE;
    font.lfUnderline = FALSE;
    font.lfStrikeOut = FALSE;
    return CreateFontIndirectW(&font);
}

WindowScale::~WindowScale() {
    DeleteObject(font_);
}

} // namespace velmora::win32::dpi
