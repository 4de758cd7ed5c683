#pragma once

#include "core/printed_lines.hpp"

#include <string_view>
#include <windows.h>

namespace velmora::win32 {

// The gray display box the search prints into: a window class of its own that keeps its lines,
// scrolls both ways by its bars, the wheel and the keys, and paints what its printed lines say
// shows.
class DisplayBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraDisplayBox";
    // The first of the commands (WM_COMMAND as from a menu), one for each lookup tool in their
    // order, by which the box and its window's shortcuts ask for the tool.
    static constexpr WORD kToolCommand = 900;

    static void registerClass(HINSTANCE instance);
    // The box behind a window of this class, or null.
    static DisplayBox* from(HWND window);

    void clear();
    void printLine(std::string_view utf8);
    void copy() const;

private:
    explicit DisplayBox(HWND window);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void setFont(HFONT font);
    void paint();
    void draw(HDC dc, const RECT& area);
    void scheduleUpdate();
    void updateScrollBars();
    void scrolled(bool moved);
    void onScroll(int bar, int request);
    void onKey(WPARAM key);
    void onWheel(int delta, bool across);
    void showContextMenu(LPARAM position);

    HWND window_;
    HFONT font_ = nullptr;
    HDC measureDc_ = nullptr;
    PrintedLines lines_;
    int wheelRemainder_ = 0;
    int wheelAcrossRemainder_ = 0;
    bool updatePending_ = false;
};

} // namespace velmora::win32
