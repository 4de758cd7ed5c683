#include "win32/picture_box.hpp"

#include "win32/dpi.hpp"
#include "win32/owned_window.hpp"

namespace velmora::win32 {
namespace {

// Window extra bytes: the bitmap, the background brush, the picture's resource number and the DPI
// the bitmap was drawn for.
constexpr int kPictureSlot = 0;
constexpr int kBackgroundSlot = sizeof(LONG_PTR);
constexpr int kResourceSlot = 2 * sizeof(LONG_PTR);
constexpr int kDrawnAtSlot = 3 * sizeof(LONG_PTR);
constexpr int kExtraBytes = 4 * sizeof(LONG_PTR);

// The box's bitmap drawn for `dpi`, the box's: the version for 96, 144 or 192 DPI (between them,
// the next larger), loaded again only when the DPI changes. `drawnAt` gets the DPI it was drawn
// for.
HBITMAP pictureFor(HWND box, int dpi, int& drawnAt) {
    const int step = dpi <= 96 ? 0 : (dpi <= 144 ? 1 : 2);
    drawnAt = 96 + 48 * step;
    auto* picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(box, kPictureSlot));
    if (picture == nullptr || GetWindowLongPtrW(box, kDrawnAtSlot) != drawnAt) {
        DeleteObject(picture);
        const auto resource = GetWindowLongPtrW(box, kResourceSlot) + 100 * step;
        picture =
            static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        SetWindowLongPtrW(box, kPictureSlot, reinterpret_cast<LONG_PTR>(picture));
        SetWindowLongPtrW(box, kDrawnAtSlot, drawnAt);
    }
    return picture;
}

} // namespace

void PictureBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, 0, nullptr, kExtraBytes);
}

void PictureBox::setPicture(HWND box, int resource, HBRUSH background) {
    SetWindowLongPtrW(box, kResourceSlot, resource);
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
    case WM_DESTROY:
        DeleteObject(reinterpret_cast<HBITMAP>(GetWindowLongPtrW(window, kPictureSlot)));
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
    const auto dpi = static_cast<int>(dpi::of(window));
    int drawnAt = 0;
    HBITMAP picture = pictureFor(window, dpi, drawnAt);
    auto* background = reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, kBackgroundSlot));
    BITMAP size{};
    if (picture != nullptr && GetObjectW(picture, sizeof(size), &size) != 0) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture);
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
        // Only the parts the picture leaves free get the background.
        ExcludeClipRect(dc, shown.left, shown.top, shown.right, shown.bottom);
    }
    if (background != nullptr) {
        FillRect(dc, &client, background);
    }
    EndPaint(window, &paint);
}

} // namespace velmora::win32
