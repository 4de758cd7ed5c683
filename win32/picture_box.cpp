#include "win32/picture_box.hpp"

#include "win32/dpi.hpp"
#include "win32/owned_window.hpp"
#include "win32/resource_ids.h"

#include <cstdlib>

namespace velmora::win32 {
namespace {

// Window extra bytes: the bitmap, then the background brush.
constexpr int kPictureSlot = 0;
constexpr int kBackgroundSlot = sizeof(LONG_PTR);
constexpr int kExtraBytes = 2 * sizeof(LONG_PTR);

// The version of the program's picture of this size drawn for 144 DPI (step 1) or 192 DPI
// (step 2), which the caller frees, or null.
HANDLE drawnVersion(const BITMAP& size, int step) {
    for (const int id : {VELMORA_BITMAP_BANNER, VELMORA_BITMAP_HELP}) {
        const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(
            LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(id), RT_BITMAP))));
        if (step > 0 && header != nullptr && header->biWidth == size.bmWidth &&
            std::abs(header->biHeight) == size.bmHeight) {
            return LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id + 100 * step),
                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        }
    }
    return nullptr;
}

} // namespace

void PictureBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, 0, nullptr, kExtraBytes);
}

void PictureBox::setPicture(HWND box, HBITMAP picture, HBRUSH background) {
    SetWindowLongPtrW(box, kPictureSlot, reinterpret_cast<LONG_PTR>(picture));
    SetWindowLongPtrW(box, kBackgroundSlot, reinterpret_cast<LONG_PTR>(background));
    InvalidateRect(box, nullptr, TRUE);
}

LRESULT CALLBACK PictureBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void PictureBox::paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    auto* picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, kPictureSlot));
    auto* background = reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, kBackgroundSlot));
    BITMAP size{};
    if (picture != nullptr && GetObjectW(picture, sizeof(size), &size) != 0) {
        // Above 96 DPI, the version drawn for 144 or 192 DPI (between them, the next larger).
        const int dpi = static_cast<int>(dpi::of(window));
        const int step = dpi <= 96 ? 0 : dpi <= 144 ? 1 : 2;
        HANDLE drawn = drawnVersion(size, step);
        const int drawnAt =
            drawn != nullptr && GetObjectW(drawn, sizeof(size), &size) != 0 ? 96 + 48 * step : 96;
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, drawn != nullptr ? drawn : picture);
        // At the window's DPI; a box shorter than that shows all of it, smaller, in its middle.
        RECT shown{0, 0, MulDiv(size.bmWidth, dpi, drawnAt), MulDiv(size.bmHeight, dpi, drawnAt)};
        if (shown.bottom > client.bottom) {
            const int width = MulDiv(shown.right, client.bottom, shown.bottom);
            shown = {(client.right - width) / 2, 0, (client.right + width) / 2, client.bottom};
        }
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, shown.left, 0, shown.right - shown.left, shown.bottom, source, 0, 0,
                   size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        DeleteObject(drawn);
        // Only the parts the picture leaves free get the background.
        ExcludeClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
    }
    if (background != nullptr) {
        FillRect(dc, &client, background);
    }
    EndPaint(window, &paint);
}

} // namespace velmora::win32
