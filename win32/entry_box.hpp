#pragma once

#include <functional>
#include <string>
#include <windows.h>

namespace velmora::win32 {

// An EDIT control made into an entry box (or a tool box's text): it holds at most `maxCharacters`
// code points; Enter does nothing in it; and every paste goes to `onPaste` with the clipboard's
// text, for the window to spread over the boxes.
class EntryBox {
public:
    using PasteHandler = std::function<void(HWND box, const std::wstring& text)>;

    static void attach(HWND edit, int maxCharacters, PasteHandler onPaste);

private:
    EntryBox(int maxCharacters, PasteHandler onPaste)
        : maxCharacters_(maxCharacters), onPaste_(std::move(onPaste)) {}
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR data);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::size_t room(HWND window) const;

    int maxCharacters_;
    PasteHandler onPaste_;
    // The first half of a character typed as a surrogate pair, until its second half arrives.
    wchar_t pendingHighSurrogate_ = 0;
};

} // namespace velmora::win32
