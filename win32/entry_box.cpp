#include "win32/entry_box.hpp"

#include "core/text.hpp"
#include "win32/wide.hpp"

#include <algorithm>
#include <commctrl.h>
#include <new>
#include <string_view>

namespace velmora::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x5650; // "VP"
// The limit in UTF-16 units that the EDIT control keeps itself: the most that the code-point
// limit can ever need, as a backstop.
constexpr int kUnitsPerCharacter = 2;

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT) == FALSE || OpenClipboard(owner) == FALSE) {
        return text;
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* characters = static_cast<const wchar_t*>(GlobalLock(data))) {
            // Up to the terminating null, inside the memory block whether or not it has one.
            const std::wstring_view all(characters, GlobalSize(data) / sizeof(wchar_t));
            text = all.substr(0, all.find(L'\0'));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace

void EntryBox::attach(HWND edit, int maxCharacters, PasteHandler onPaste) {
    auto* box = new EntryBox(maxCharacters, std::move(onPaste));
    SendMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(maxCharacters) * kUnitsPerCharacter, 0);
    SetWindowSubclass(edit, procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(box));
}

LRESULT CALLBACK EntryBox::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR /*id*/, DWORD_PTR data) {
    auto* box = reinterpret_cast<EntryBox*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, procedure, kSubclassId);
        delete box;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    try {
        return box->handle(window, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        MessageBeep(MB_ICONWARNING);
        return 0;
    }
}

LRESULT EntryBox::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR: {
        const auto unit = static_cast<wchar_t>(wParam);
        if (unit == L'\r' || unit == L'\n') {
            return 0;
        }
        if (IS_HIGH_SURROGATE(unit)) {
            pendingHighSurrogate_ = unit;
            return 0;
        }
        if (IS_LOW_SURROGATE(unit)) {
            const wchar_t high = pendingHighSurrogate_;
            pendingHighSurrogate_ = 0;
            if (high == 0 || room(window) == 0) {
                return 0;
            }
            DefSubclassProc(window, message, high, lParam);
            return DefSubclassProc(window, message, wParam, lParam);
        }
        pendingHighSurrogate_ = 0;
        // Control characters are editing keys (Backspace, Ctrl+A, Ctrl+C, Ctrl+V, Ctrl+X,
        // Ctrl+Z), never text: Ctrl+Backspace's DEL would otherwise stand in the box as a code.
        if (unit == 0x7F || (unit >= L' ' && room(window) == 0)) {
            return 0;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            return 0;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    case WM_PASTE:
        if ((GetWindowLongPtrW(window, GWL_STYLE) & ES_READONLY) == 0) {
            const std::wstring text = clipboardText(window);
            if (!text.empty() && onPaste_) {
                onPaste_(window, text);
            }
        }
        return 0;
    default:
        return DefSubclassProc(window, message, wParam, lParam);
    }
}

// How many characters can go in at the cursor, the selection being replaced.
std::size_t EntryBox::room(HWND window) const {
    const std::wstring text = windowText(window);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    start = std::min<DWORD>(start, static_cast<DWORD>(text.size()));
    end = std::min<DWORD>(std::max(start, end), static_cast<DWORD>(text.size()));
    const std::wstring kept = text.substr(0, start) + text.substr(end);
    const auto limit = static_cast<std::size_t>(maxCharacters_);
    const std::size_t used = text::characterCount(toUtf8(kept));
    return used < limit ? limit - used : 0;
}

} // namespace velmora::win32
