#include "win32/display_box.hpp"

#include "forms/forms.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <new>
#include <utility>
#include <windowsx.h>

namespace velmora::win32 {
namespace {

constexpr COLORREF kBackground = RGB(0x80, 0x80, 0x80);
constexpr COLORREF kText = RGB(0x00, 0x00, 0x00);
// A private message: the scroll bars follow a run of prints once, after the run.
constexpr UINT kUpdateMessage = WM_APP + 1;
constexpr UINT kCopyCommand = 1;
// The lookup tools' entries follow, in their order.
constexpr UINT kFirstToolEntry = 2;

int clampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace

void DisplayBox::registerClass(HINSTANCE instance) {
    registerWindowClass(instance, kClassName, procedure, CS_DBLCLKS);
}

DisplayBox* DisplayBox::from(HWND window) {
    return isOfClass(window, kClassName)
               ? reinterpret_cast<DisplayBox*>(GetWindowLongPtrW(window, GWLP_USERDATA))
               : nullptr;
}

DisplayBox::DisplayBox(HWND window) : window_(window), measureDc_(CreateCompatibleDC(nullptr)) {
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
        DeleteDC(box->measureDc_);
        delete box;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Copying many lines can run out of memory, which must not unwind through the system.
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
        onScroll(SB_VERT, LOWORD(wParam));
        return 0;
    case WM_HSCROLL:
        onScroll(SB_HORZ, LOWORD(wParam));
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

// The printed lines measure a character at a time, from its extent in the box's font.
void DisplayBox::setFont(HFONT font) {
    font_ = font;
    SelectObject(measureDc_, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(measureDc_, &metrics);
    lines_.setFont(
        [dc = measureDc_](char32_t character) {
            // In UTF-16: one unit, or a surrogate pair past U+FFFF.
            const char32_t above = character - 0x10000;
            const std::array<wchar_t, 2> units =
                character < 0x10000 ? std::array{static_cast<wchar_t>(character), L'\0'}
                                    : std::array{static_cast<wchar_t>(0xD800 + (above >> 10)),
                                                 static_cast<wchar_t>(0xDC00 + (above & 0x3FF))};
            SIZE size{};
            GetTextExtentPoint32W(dc, units.data(), character < 0x10000 ? 1 : 2, &size);
            return static_cast<double>(size.cx);
        },
        static_cast<int>(metrics.tmHeight + metrics.tmExternalLeading));
    scheduleUpdate();
}

void DisplayBox::clear() {
    lines_.clear();
    scheduleUpdate();
}

void DisplayBox::printLine(std::string_view utf8) {
    lines_.append(utf8);
    scheduleUpdate();
}

void DisplayBox::copy() const {
    if (lines_.count() == 0) {
        return;
    }
    const std::wstring joined = toWide(lines_.copyText("\r\n"));
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

// Each bar shows only when its extent is larger than the view; showing one narrows the view
// for the other, so they are set until both agree.
void DisplayBox::updateScrollBars() {
    for (int round = 0; round < 3; ++round) {
        RECT before{};
        GetClientRect(window_, &before);
        lines_.setView(before.right, before.bottom);

        SCROLLINFO vertical{};
        vertical.cbSize = sizeof(vertical);
        vertical.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        vertical.nMax = clampToInt(std::max<std::int64_t>(0, lines_.count() - 1));
        vertical.nPage = static_cast<UINT>(lines_.wholeLinesShown());
        vertical.nPos = clampToInt(lines_.topLine());
        SetScrollInfo(window_, SB_VERT, &vertical, TRUE);

        SCROLLINFO across = vertical;
        across.nMax = clampToInt(std::max<std::int64_t>(0, lines_.widest() - 1));
        across.nPage = static_cast<UINT>(std::max(1L, before.right));
        across.nPos = clampToInt(lines_.left());
        SetScrollInfo(window_, SB_HORZ, &across, TRUE);

        RECT after{};
        GetClientRect(window_, &after);
        if (after.right == before.right && after.bottom == before.bottom) {
            break;
        }
    }
}

void DisplayBox::scrolled(bool moved) {
    if (moved) {
        SetScrollPos(window_, SB_VERT, clampToInt(lines_.topLine()), TRUE);
        SetScrollPos(window_, SB_HORZ, clampToInt(lines_.left()), TRUE);
        InvalidateRect(window_, nullptr, FALSE);
    }
}

void DisplayBox::onScroll(int bar, int request) {
    using Step = PrintedLines::Step;
    const bool vertical = bar == SB_VERT;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window_, bar, &info);
    RECT view{};
    GetClientRect(window_, &view);
    const std::int64_t top = lines_.topLine();
    const std::int64_t left = lines_.left();
    switch (request) {
    case SB_LINEUP:
        scrolled(lines_.step(vertical ? Step::LineUp : Step::ColumnLeft));
        break;
    case SB_LINEDOWN:
        scrolled(lines_.step(vertical ? Step::LineDown : Step::ColumnRight));
        break;
    case SB_PAGEUP:
        scrolled(vertical ? lines_.step(Step::PageUp) : lines_.scrollTo(top, left - view.right));
        break;
    case SB_PAGEDOWN:
        scrolled(vertical ? lines_.step(Step::PageDown) : lines_.scrollTo(top, left + view.right));
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        scrolled(vertical ? lines_.scrollTo(info.nTrackPos, left)
                          : lines_.scrollTo(top, info.nTrackPos));
        break;
    case SB_TOP:
        scrolled(vertical ? lines_.scrollTo(0, left) : lines_.scrollTo(top, 0));
        break;
    case SB_BOTTOM:
        scrolled(vertical ? lines_.scrollTo(lines_.lastTopLine(), left)
                          : lines_.scrollTo(top, lines_.lastLeft()));
        break;
    default:
        break;
    }
}

void DisplayBox::onKey(WPARAM key) {
    using Step = PrintedLines::Step;
    static constexpr std::array<std::pair<WPARAM, Step>, 8> kSteps{{{VK_UP, Step::LineUp},
                                                                    {VK_DOWN, Step::LineDown},
                                                                    {VK_LEFT, Step::ColumnLeft},
                                                                    {VK_RIGHT, Step::ColumnRight},
                                                                    {VK_PRIOR, Step::PageUp},
                                                                    {VK_NEXT, Step::PageDown},
                                                                    {VK_HOME, Step::Start},
                                                                    {VK_END, Step::End}}};
    const auto found = std::ranges::find(kSteps, key, &std::pair<WPARAM, Step>::first);
    if (found != kSteps.end()) {
        scrolled(lines_.step(found->second));
    } else if ((key == 'C' || key == VK_INSERT) && GetKeyState(VK_CONTROL) < 0) {
        copy();
    }
}

void DisplayBox::onWheel(int delta, bool across) {
    UINT linesPerNotch = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    int& remainder = across ? wheelAcrossRemainder_ : wheelRemainder_;
    remainder += delta;
    const int notches = remainder / WHEEL_DELTA;
    remainder -= notches * WHEEL_DELTA;
    const std::int64_t lines = linesPerNotch == WHEEL_PAGESCROLL
                                   ? std::int64_t{lines_.wholeLinesShown()}
                                   : std::int64_t{linesPerNotch};
    if (across) {
        scrolled(lines_.scrollTo(lines_.topLine(), lines_.left() - notches * lines_.columnStep()));
    } else {
        scrolled(lines_.scrollTo(lines_.topLine() - notches * lines, lines_.left()));
    }
}

void DisplayBox::showContextMenu(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x == -1 && at.y == -1) {
        at = {0, 0};
        ClientToScreen(window_, &at);
    }
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING | (lines_.count() == 0 ? MF_GRAYED : 0U), kCopyCommand,
                L"&Copy\tCtrl+C");
    UINT entry = kFirstToolEntry;
    for (const forms::LookupTool& tool : forms::kLookupTools) {
        const forms::Shortcut key = tool.shortcut;
        const std::wstring caption = toWide(tool.menuEntry) + L"\t" + (key.ctrl ? L"Ctrl+" : L"") +
                                     static_cast<wchar_t>(key.key);
        AppendMenuW(menu, MF_STRING, entry++, caption.c_str());
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == kCopyCommand) {
        copy();
    } else if (chosen >= kFirstToolEntry && chosen < entry) {
        SendMessageW(GetParent(window_), WM_COMMAND,
                     MAKEWPARAM(kToolCommand + chosen - kFirstToolEntry, 0), 0);
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
    DeleteObject(picture);
    DeleteDC(canvas);
    EndPaint(window_, &paint);
}

void DisplayBox::draw(HDC dc, const RECT& area) {
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &area, background);
    DeleteObject(background);

    HGDIOBJ previousFont = SelectObject(dc, font_);
    SetTextColor(dc, kText);
    SetBkMode(dc, TRANSPARENT);
    for (const PrintedLines::Piece& piece : lines_.visible()) {
        const std::wstring text = toWide(piece.text);
        ExtTextOutW(dc, static_cast<int>(std::lround(piece.x)), piece.row * lines_.lineHeight(), 0,
                    nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
    }
    SelectObject(dc, previousFont);

    // The focus mark: a dotted black frame inside the edge (an inverted one hardly shows on gray).
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

} // namespace velmora::win32
