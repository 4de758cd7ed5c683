#pragma once

#include <string>
#include <windows.h>

namespace velmora::win32 {

// A balloon beside a control that tells the user something without a modal box: it neither takes
// the focus nor waits, and goes away by itself after a while, or when the window is left.
class Note {
public:
    explicit Note(HWND owner);
    Note(const Note&) = delete;
    Note& operator=(const Note&) = delete;
    Note(Note&&) = delete;
    Note& operator=(Note&&) = delete;
    ~Note();

    void show(HWND anchor, const std::wstring& title, const std::wstring& text);
    void hide();
    // The owner's timer message for the note; true when it was the note's.
    bool onTimer(WPARAM timer);

private:
    HWND owner_;
    HWND tip_ = nullptr;
    std::wstring text_;
    bool shown_ = false;
};

} // namespace velmora::win32
