#include "win32/picture_box.hpp"

#include "win32/dpi.hpp"
#include "win32/owned_window.hpp"
#include "win32/resource_ids.h"

#include <cstdlib>
#include <utility>

namespace velmora::win32 {
namespace {

// Window extra bytes: the bitmap, the background brush, then the box's own version of the
// bitmap drawn for its DPI and that version's resource number.
constexpr int kPictureSlot = 0;
constexpr int kBackgroundSlot = sizeof(LONG_PTR);
constexpr int kDrawnSlot = 2 * sizeof(LONG_PTR);
constexpr int kDrawnIdSlot = 3 * sizeof(LONG_PTR);
constexpr int kExtraBytes = 4 * sizeof(LONG_PTR);

// The bitmap resource the program's pictures are, where one has this size, or 0.
int resourceOfSize(const BITMAP& size) {
    for (const int id : {VELMORA_BITMAP_BANNER, VELMORA_BITMAP_HELP}) {
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));
        const auto* header = static_cast<const BITMAPINFOHEADER*>(
            found == nullptr ? nullptr : LockResource(LoadResource(nullptr, found)));
        if (header != nullptr && header->biWidth == size.bmWidth &&
            std::abs(header->biHeight) == size.bmHeight) {
            return id;
        }
    }
    return 0;
}

void forgetDrawn(HWND box) {
    DeleteObject(reinterpret_cast<HGDIOBJ>(SetWindowLongPtrW(box, kDrawnSlot, 0)));
    SetWindowLongPtrW(box, kDrawnIdSlot, 0);
}

// The bitmap to draw at `dpi`, and the DPI it was drawn for: the given one up to 96 DPI; above,
// its version drawn for 144 or 192 DPI (between them, the next larger), loaded when first needed.
std::pair<HBITMAP, unsigned> drawnFor(HWND box, HBITMAP given, const BITMAP& size, unsigned dpi) {
    const unsigned step = dpi <= dpi::kDefault ? 0 : dpi <= dpi::kDefault * 3 / 2 ? 1 : 2;
    const int id = step == 0 ? 0 : resourceOfSize(size);
    const LONG_PTR version = id + 100 * static_cast<int>(step);
    if (id != 0 && GetWindowLongPtrW(box, kDrawnIdSlot) != version) {
        forgetDrawn(box);
        HANDLE loaded = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(version),
                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        SetWindowLongPtrW(box, kDrawnSlot, reinterpret_cast<LONG_PTR>(loaded));
        SetWindowLongPtrW(box, kDrawnIdSlot, version);
    }
    auto* drawn = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, kDrawnSlot));
    if (id == 0 || drawn == nullptr) {
        return {given, dpi::kDefault};
    }
    return {drawn, dpi::kDefault + dpi::kDefault / 2 * step};
}

} // namespace

void PictureBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, 0, nullptr, kExtraBytes);
}

void PictureBox::setPicture(HWND box, HBITMAP picture, HBRUSH background) {
    SetWindowLongPtrW(box, kPictureSlot, reinterpret_cast<LONG_PTR>(picture));
    SetWindowLongPtrW(box, kBackgroundSlot, reinterpret_cast<LONG_PTR>(background));
    forgetDrawn(box);
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
    case WM_NCDESTROY:
        forgetDrawn(window);
        [[fallthrough]];
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
        const unsigned dpi = dpi::of(window);
        const auto [drawn, drawnAt] = drawnFor(window, picture, size, dpi);
        GetObjectW(drawn, sizeof(size), &size);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, drawn);
        // At the window's DPI, and a box shorter than that shows all of it, smaller, in its middle.
        RECT shown{0, 0, MulDiv(size.bmWidth, static_cast<int>(dpi), static_cast<int>(drawnAt)),
                   MulDiv(size.bmHeight, static_cast<int>(dpi), static_cast<int>(drawnAt))};
        if (shown.bottom > client.bottom) {
            const int width = MulDiv(shown.right, client.bottom, shown.bottom);
            shown = {(client.right - width) / 2, 0, (client.right + width) / 2, client.bottom};
        }
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, shown.left, 0, shown.right - shown.left, shown.bottom, source, 0, 0,
                   size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
        // Only the parts the picture leaves free get the background.
        ExcludeClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
    }
    if (background != nullptr) {
        FillRect(dc, &client, background);
    }
    EndPaint(window, &paint);
}

} // namespace velmora::win32
