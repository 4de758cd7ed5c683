#pragma once

#include <windows.h>

namespace velmora::win32 {

// A picture box: shows its picture at the window's DPI from its top left corner, all of it smaller
// and in its middle when the box is too short; where the picture does not reach, its background
// shows. It takes the focus in its turn but shows no focus mark.
class PictureBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraPictureBox";

    static void registerClass(HINSTANCE instance);
    // Shows the bitmap resource `resource`, or its version drawn for the box's DPI (numbered 100
    // or 200 above it for 144 or 192 DPI). The brush stays the caller's and must outlive the box.
    static void setPicture(HWND box, int resource, HBRUSH background);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void paint(HWND window);
};

} // namespace velmora::win32
