#pragma once

#include <windows.h>

namespace velmora::win32 {

// A picture box: shows its bitmap unscaled from its top left corner and clips what does not
// fit; where the picture does not reach, its background shows. It takes the focus in its turn
// but shows no focus mark.
class PictureBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraPictureBox";

    static void registerClass(HINSTANCE instance);
    // The bitmap and background brush stay the caller's; they must outlive the box.
    static void setPicture(HWND box, HBITMAP picture, HBRUSH background);

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void paint(HWND window);
};

} // namespace velmora::win32
