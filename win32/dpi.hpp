#pragma once

#include <windows.h>

// Geometry and fonts at a window's own DPI. The layouts are kept in twips (1440 to the inch), so
// that 15 twips make a pixel at 96 DPI and every other DPI scales the same way.
namespace velmora::win32::dpi {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;
inline constexpr unsigned kDefault = 96;

// The DPI of the monitor the window stands on (the system DPI where the platform cannot say).
unsigned of(HWND window);

inline int toPixels(int twips, unsigned dpi) {
    return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

// The LOGFONTW height of a font of `points` at `dpi` (negative: of the characters, not the cell).
inline int fontHeight(int points, unsigned dpi) {
    return -MulDiv(points, static_cast<int>(dpi), kPointsPerInch);
}

// The frame size that gives a window the client size asked for, at `dpi`.
SIZE frameSizeFor(SIZE client, DWORD style, DWORD exStyle, bool hasMenu, unsigned dpi);

int systemMetric(int index, unsigned dpi);

// The platform's message font at 8 points, regular, at `dpi`, for the caller to free.
HFONT createDialogFont(unsigned dpi);

// A window's DPI and the dialog font its controls are drawn with at that DPI, which it owns.
class WindowScale {
public:
    WindowScale() = default;
    WindowScale(const WindowScale&) = delete;
    WindowScale& operator=(const WindowScale&) = delete;
    WindowScale(WindowScale&&) = delete;
    WindowScale& operator=(WindowScale&&) = delete;
    ~WindowScale();

    unsigned dpi() const { return dpi_; }
    HFONT font() const { return font_; }
    int toPixels(int twips) const { return dpi::toPixels(twips, dpi_); }

    // A new font for `dpi`; the old one is freed once `relayOut` has put the controls in it.
    template <typename RelayOut> void change(unsigned dpi, RelayOut relayOut) {
        HFONT previous = font_;
        dpi_ = dpi;
        font_ = createDialogFont(dpi_);
        relayOut();
        DeleteObject(previous);
    }

private:
    unsigned dpi_ = kDefault;
    HFONT font_ = nullptr;
};

} // namespace velmora::win32::dpi
