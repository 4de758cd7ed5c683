#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace velmora::win32 {

// The gray display box the search prints into: a window class of its own. It keeps its lines, so
// a repaint draws them again, and scrolls both ways by its bars, the wheel and the keys. It lays
// out only what shows: a line of ten megabytes costs no more to paint or to scroll than a short
// one. Lines printed twice in a row are kept once.
class DisplayBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraDisplayBox";
    // The command (a WM_COMMAND as from a menu) by which the box asks the window it stands in for
    // the find box; that window's Ctrl+F sends the same.
    static constexpr WORD kFindCommand = 900;

    static void registerClass(HINSTANCE instance);
    // The box behind a window of this class, or null.
    static DisplayBox* from(HWND window);

    void clear();
    void printLine(std::string_view utf8);
    void copy() const;

private:
    struct Mark {
        std::size_t index;
        int x;
    };
    struct Line {
        std::wstring text;
        int width = 0;
        // Where every few thousand characters of a long line stand across, so that a paint
        // scrolled far to the right starts near its first visible character.
        std::vector<Mark> marks;
    };

    explicit DisplayBox(HWND window);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Every line whole, CR LF between them, as Copy puts them on the clipboard.
    std::wstring text() const;
    void setFont(HFONT font);
    int advance(const std::wstring& text, std::size_t index, std::size_t& units);
    Line measure(std::wstring text);
    void paint();
    void draw(HDC dc, const RECT& area);
    void paintLine(HDC dc, const Line& line, int top, int right);
    void scheduleUpdate();
    void updateScrollBars();
    void scrollTo(long long line, long long x);
    void scrollBy(int bar, int request);
    void onKey(WPARAM key);
    void onWheel(int delta, bool across);
    void showContextMenu(LPARAM position);
    int wholeLinesShown() const;
    SIZE viewSize() const;

    HWND window_;
    HFONT font_ = nullptr;
    HDC measureDc_ = nullptr;
    HGDIOBJ measureDcFont_ = nullptr;
    int lineHeight_ = 13;
    int averageWidth_ = 6;
    std::vector<int> advances_;
    std::vector<Line> distinct_;
    std::vector<std::uint32_t> order_;
    // The last line printed as it came, to know a repeat of it.
    std::string lastPrinted_;
    int widest_ = 0;
    long long topLine_ = 0;
    long long left_ = 0;
    int wheelRemainder_ = 0;
    int wheelAcrossRemainder_ = 0;
    bool updatePending_ = false;
};

} // namespace velmora::win32
