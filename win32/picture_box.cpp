#include "win32/picture_box.hpp"

#include "win32/owned_window.hpp"

namespace velmora::win32 {
namespace {

// Window extra bytes: the bitmap, then the background brush.
constexpr int kPictureSlot = 0;
constexpr int kBackgroundSlot = sizeof(LONG_PTR);
constexpr int kExtraBytes = 2 * sizeof(LONG_PTR);

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
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, picture);
        // A box shorter than its picture shows all of it, smaller, in its middle.
        RECT shown{0, 0, size.bmWidth, size.bmHeight};
        if (size.bmHeight > client.bottom) {
            const int width = MulDiv(size.bmWidth, client.bottom, size.bmHeight);
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
