#include "win32/display_box.hpp"

#include "core/find.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <algorithm>
#include <climits>
#include <new>
#include <numeric>
#include <windowsx.h>

namespace velmora::win32 {
namespace {

constexpr COLORREF kBackground = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kText = RGB(0x00, 0x00, 0x00);
// A private message: the scroll bars follow a run of prints once, after the run.
constexpr UINT kUpdateMessage = WM_APP + 1;
// Characters between two marks of a long line.
constexpr std::size_t kMarkStride = 4096;
// The most characters one paint looks at past a line's first visible one: bounds the work for a
// line of characters that take no width.
constexpr std::size_t kMostCharactersPainted = 16384;
constexpr UINT kCopyCommand = 1;
constexpr UINT kFindMenuCommand = 2;

int clampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

} // namespace

void DisplayBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, CS_DBLCLKS);
}

DisplayBox* DisplayBox::from(HWND window) {
    if (!isOfClass(window, kClassName)) {
        return nullptr;
    }
    return reinterpret_cast<DisplayBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

DisplayBox::DisplayBox(HWND window)
    : window_(window), measureDc_(CreateCompatibleDC(nullptr)), advances_(0x10000, -1) {
    setFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

LRESULT CALLBACK DisplayBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = reinterpret_cast<DisplayBox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        box = new DisplayBox(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
    }
    if (box == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (box->measureDcFont_ != nullptr) {
            SelectObject(box->measureDc_, box->measureDcFont_);
        }
        DeleteDC(box->measureDc_);
        delete box;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Copying a great many lines can run out of memory; that must not unwind through the
    // system's code.
    try {
        return box->handle(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        MessageBoxW(window, L"There is not enough memory to copy the lines.", kMessageTitle,
                    MB_OK | MB_ICONERROR);
        return 0;
    }
}

LRESULT DisplayBox::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        setFont(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window_, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font_);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    case WM_SIZE:
        updateScrollBars();
        return 0;
    case kUpdateMessage:
        updatePending_ = false;
        updateScrollBars();
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(window_);
        return 0;
    case WM_VSCROLL:
        scrollBy(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        scrollBy(SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        onWheel(GET_WHEEL_DELTA_WPARAM(wParam), (GET_KEYSTATE_WPARAM(wParam) & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEHWHEEL:
        onWheel(-GET_WHEEL_DELTA_WPARAM(wParam), true);
        return 0;
    case WM_KEYDOWN:
        onKey(wParam);
        return 0;
    case WM_CONTEXTMENU:
        showContextMenu(lParam);
        return 0;
    case WM_COPY:
        copy();
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void DisplayBox::setFont(HFONT font) {
    font_ = font;
    HGDIOBJ previous = SelectObject(measureDc_, font_);
    if (measureDcFont_ == nullptr) {
        measureDcFont_ = previous;
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(measureDc_, &metrics);
    lineHeight_ = std::max(1, static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
    averageWidth_ = std::max(1, static_cast<int>(metrics.tmAveCharWidth));
    std::fill(advances_.begin(), advances_.end(), -1);
    widest_ = 0;
    for (Line& line : distinct_) {
        line = measure(std::move(line.text));
        widest_ = std::max(widest_, line.width);
    }
    scheduleUpdate();
}

// The width of the character at `index`; `units` tells how many UTF-16 units it takes.
int DisplayBox::advance(const std::wstring& text, std::size_t index, std::size_t& units) {
    const wchar_t unit = text[index];
    if (IS_HIGH_SURROGATE(unit) && index + 1 < text.size() && IS_LOW_SURROGATE(text[index + 1])) {
        units = 2;
        SIZE size{};
        GetTextExtentPoint32W(measureDc_, text.data() + index, 2, &size);
        return size.cx;
    }
    units = 1;
    int& known = advances_[unit];
    if (known < 0) {
        SIZE size{};
        GetTextExtentPoint32W(measureDc_, &unit, 1, &size);
        known = size.cx;
    }
    return known;
}

DisplayBox::Line DisplayBox::measure(std::wstring text) {
    Line line;
    line.text = std::move(text);
    long long x = 0;
    std::size_t nextMark = kMarkStride;
    std::size_t units = 1;
    for (std::size_t index = 0; index < line.text.size(); index += units) {
        if (index >= nextMark) {
            line.marks.push_back({index, clampToInt(x)});
            nextMark = index + kMarkStride;
        }
        x += advance(line.text, index, units);
    }
    line.width = clampToInt(x);
    return line;
}

void DisplayBox::clear() {
    distinct_.clear();
    distinct_.shrink_to_fit();
    order_.clear();
    order_.shrink_to_fit();
    lastPrinted_.clear();
    lastPrinted_.shrink_to_fit();
    widest_ = 0;
    topLine_ = 0;
    left_ = 0;
    scheduleUpdate();
}

void DisplayBox::printLine(std::string_view utf8) {
    // The same line again (every empty box matching a code that is empty prints one) is kept
    // once, found without converting it again.
    if (!order_.empty() && utf8 == lastPrinted_) {
        order_.push_back(order_.back());
    } else if (distinct_.size() < UINT32_MAX) {
        lastPrinted_.clear();
        distinct_.push_back(measure(toWide(utf8)));
        widest_ = std::max(widest_, distinct_.back().width);
        order_.push_back(static_cast<std::uint32_t>(distinct_.size() - 1));
        lastPrinted_.assign(utf8);
    }
    scheduleUpdate();
}

std::wstring DisplayBox::text() const {
    const std::size_t length = std::accumulate(order_.begin(), order_.end(), std::size_t{0},
                                               [this](std::size_t sum, std::uint32_t index) {
                                                   return sum + distinct_[index].text.size() + 2;
                                               });
    std::wstring joined;
    joined.reserve(length);
    for (std::size_t i = 0; i < order_.size(); ++i) {
        if (i > 0) {
            joined += L"\r\n";
        }
        joined += distinct_[order_[i]].text;
    }
    return joined;
}

void DisplayBox::copy() const {
    if (order_.empty()) {
        return;
    }
    const std::wstring joined = text();
    const std::size_t bytes = (joined.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    void* target = GlobalLock(memory);
    CopyMemory(target, joined.c_str(), bytes);
    GlobalUnlock(memory);
    if (OpenClipboard(window_) == FALSE) {
        GlobalFree(memory);
        MessageBeep(MB_ICONWARNING);
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
        // The clipboard took no ownership: the memory is still the program's to free.
        // cppcheck-suppress doubleFree
        GlobalFree(memory);
    }
    CloseClipboard();
}

void DisplayBox::scheduleUpdate() {
    if (!updatePending_) {
        updatePending_ = true;
        PostMessageW(window_, kUpdateMessage, 0, 0);
    }
}

SIZE DisplayBox::viewSize() const {
    RECT client{};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
}

int DisplayBox::wholeLinesShown() const {
    return std::max(1, static_cast<int>(viewSize().cy / lineHeight_));
}

// Each bar shows only when its extent is larger than the view; showing one narrows the view
// for the other, so they are set until both agree.
void DisplayBox::updateScrollBars() {
    for (int round = 0; round < 3; ++round) {
        const SIZE before = viewSize();
        const int shown = wholeLinesShown();
        const auto count = static_cast<long long>(order_.size());
        topLine_ = std::clamp<long long>(topLine_, 0, std::max<long long>(0, count - shown));
        left_ = std::clamp<long long>(left_, 0, std::max<long long>(0, widest_ - before.cx));

        SCROLLINFO vertical{};
        vertical.cbSize = sizeof(vertical);
        vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        vertical.nMax = clampToInt(std::max<long long>(0, count - 1));
        vertical.nPage = static_cast<UINT>(shown);
        vertical.nPos = clampToInt(topLine_);
        SetScrollInfo(window_, SB_VERT, &vertical, TRUE);

        SCROLLINFO across{};
        across.cbSize = sizeof(across);
        across.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        across.nMax = std::max(0, widest_ - 1);
        across.nPage = static_cast<UINT>(std::max(1L, before.cx));
        across.nPos = clampToInt(left_);
        SetScrollInfo(window_, SB_HORZ, &across, TRUE);

        const SIZE after = viewSize();
        if (after.cx == before.cx && after.cy == before.cy) {
            break;
        }
    }
}

void DisplayBox::scrollTo(long long line, long long x) {
    const SIZE view = viewSize();
    const auto count = static_cast<long long>(order_.size());
    line = std::clamp<long long>(line, 0, std::max<long long>(0, count - wholeLinesShown()));
    x = std::clamp<long long>(x, 0, std::max<long long>(0, widest_ - view.cx));
    if (line == topLine_ && x == left_) {
        return;
    }
    topLine_ = line;
    left_ = x;
    SetScrollPos(window_, SB_VERT, clampToInt(topLine_), TRUE);
    SetScrollPos(window_, SB_HORZ, clampToInt(left_), TRUE);
    InvalidateRect(window_, nullptr, FALSE);
}

void DisplayBox::scrollBy(int bar, int request) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(window_, bar, &info);
    const bool vertical = bar == SB_VERT;
    const long long small = vertical ? 1 : averageWidth_ * 4;
    const long long page = vertical ? wholeLinesShown() : std::max(1L, viewSize().cx);
    long long position = vertical ? topLine_ : left_;
    switch (request) {
    case SB_LINEUP:
        position -= small;
        break;
    case SB_LINEDOWN:
        position += small;
        break;
    case SB_PAGEUP:
        position -= page;
        break;
    case SB_PAGEDOWN:
        position += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = LLONG_MAX / 2;
        break;
    default:
        return;
    }
    if (vertical) {
        scrollTo(position, left_);
    } else {
        scrollTo(topLine_, position);
    }
}

void DisplayBox::onKey(WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_UP:
        scrollBy(SB_VERT, SB_LINEUP);
        break;
    case VK_DOWN:
        scrollBy(SB_VERT, SB_LINEDOWN);
        break;
    case VK_LEFT:
        scrollBy(SB_HORZ, SB_LINEUP);
        break;
    case VK_RIGHT:
        scrollBy(SB_HORZ, SB_LINEDOWN);
        break;
    case VK_PRIOR:
        scrollBy(SB_VERT, SB_PAGEUP);
        break;
    case VK_NEXT:
        scrollBy(SB_VERT, SB_PAGEDOWN);
        break;
    case VK_HOME:
        scrollTo(0, 0);
        break;
    case VK_END:
        scrollTo(LLONG_MAX / 2, 0);
        break;
    case 'C':
    case VK_INSERT:
        if (control) {
            copy();
        }
        break;
    default:
        break;
    }
}

void DisplayBox::onWheel(int delta, bool across) {
    UINT linesPerNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    int& remainder = across ? wheelAcrossRemainder_ : wheelRemainder_;
    remainder += delta;
    const int notches = remainder / WHEEL_DELTA;
    remainder -= notches * WHEEL_DELTA;
    if (notches == 0) {
        return;
    }
    if (across) {
        scrollTo(topLine_, left_ - static_cast<long long>(notches) * averageWidth_ * 4);
    } else if (linesPerNotch == WHEEL_PAGESCROLL) {
        scrollTo(topLine_ - static_cast<long long>(notches) * wholeLinesShown(), left_);
    } else {
        scrollTo(topLine_ - static_cast<long long>(notches) * linesPerNotch, left_);
    }
}

void DisplayBox::showContextMenu(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ClientToScreen(window_, &at);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (order_.empty() ? MF_GRAYED : 0U), kCopyCommand,
                L"&Copy\tCtrl+C");
    const std::wstring find = toWide(kFindActionText) + L"\t" + toWide(kFindShortcut);
    AppendMenuW(menu, MF_STRING, kFindMenuCommand, find.c_str());
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == kCopyCommand) {
        copy();
    } else if (chosen == kFindMenuCommand) {
        SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(kFindCommand, 0), 0);
    }
}

// Drawn off screen first and put on screen at once, so that scrolling does not flicker.
void DisplayBox::paint() {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window_, &paint);
    const RECT& area = paint.rcPaint;
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, std::max(1L, area.right - area.left),
                                             std::max(1L, area.bottom - area.top));
    if (canvas == nullptr || picture == nullptr) {
        draw(screen, area);
    } else {
        HGDIOBJ previous = SelectObject(canvas, picture);
        SetViewportOrgEx(canvas, -area.left, -area.top, nullptr);
        draw(canvas, area);
        SetViewportOrgEx(canvas, 0, 0, nullptr);
        BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, canvas,
               0, 0, SRCCOPY);
        SelectObject(canvas, previous);
    }
    if (picture != nullptr) {
        DeleteObject(picture);
    }
    if (canvas != nullptr) {
        DeleteDC(canvas);
    }
    EndPaint(window_, &paint);
}

void DisplayBox::draw(HDC dc, const RECT& area) {
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &area, background);
    DeleteObject(background);

    HGDIOBJ previousFont = SelectObject(dc, font_);
    SetTextColor(dc, kText);
    SetBkMode(dc, TRANSPARENT);
    const auto count = static_cast<long long>(order_.size());
    const long long first = topLine_ + area.top / lineHeight_;
    const long long last = std::min(count - 1, topLine_ + area.bottom / lineHeight_);
    for (long long i = first; i <= last; ++i) {
        const Line& line = distinct_[order_[static_cast<std::size_t>(i)]];
        paintLine(dc, line, static_cast<int>(i - topLine_) * lineHeight_, area.right);
    }
    SelectObject(dc, previousFont);

    // The focus mark: a dotted black frame just inside the edge. The system's inverted frame
    // would hardly show on this gray.
    if (GetFocus() == window_) {
        RECT mark{};
        GetClientRect(window_, &mark);
        const LOGBRUSH ink{BS_SOLID, kText, 0};
        HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &ink, 0, nullptr);
        HGDIOBJ previousPen = SelectObject(dc, pen);
        HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, mark.left + 1, mark.top + 1, mark.right - 1, mark.bottom - 1);
        SelectObject(dc, previousBrush);
        SelectObject(dc, previousPen);
        DeleteObject(pen);
    }
}

// Draws the part of `line` between the left edge and `right`: it starts from the nearest mark
// left of the view and stops at the first character past it.
void DisplayBox::paintLine(HDC dc, const Line& line, int top, int right) {
    if (line.width <= left_) {
        return;
    }
    std::size_t index = 0;
    long long x = 0;
    const auto mark = std::upper_bound(line.marks.begin(), line.marks.end(), left_,
                                       [](long long at, const Mark& m) { return at < m.x; });
    if (mark != line.marks.begin()) {
        index = std::prev(mark)->index;
        x = std::prev(mark)->x;
    }
    std::size_t units = 1;
    for (; index < line.text.size(); index += units) {
        const int width = advance(line.text, index, units);
        if (x + width > left_) {
            break;
        }
        x += width;
    }
    const std::size_t start = index;
    const long long limit = left_ + right;
    long long end = x;
    for (; index < line.text.size() && end <= limit && index - start < kMostCharactersPainted;
         index += units) {
        end += advance(line.text, index, units);
    }
    ExtTextOutW(dc, static_cast<int>(x - left_), top, 0, nullptr, line.text.data() + start,
                static_cast<UINT>(index - start), nullptr);
}

} // namespace velmora::win32
