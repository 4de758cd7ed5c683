#pragma once

#include "forms/form.hpp"
#include "win32/dpi.hpp"

#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

namespace velmora::win32 {

// The small modeless box in which the user types the words to find in the table's descriptions:
// a tool window owned by the lookup window, with a prompt, the words, "Find" and "Close". It only
// collects the words; the program runs the find and prints into the lookup window's display box.
// Close (or Escape) hides it, so that its words are still there when it is opened again. Its
// caption, size, controls and place are the find form's (forms::kFindForm).
class FindBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraFindBox";
    static void registerClass(HINSTANCE instance);

    // `find` is called with the words (UTF-8) each time Find is pressed.
    FindBox(HINSTANCE instance, HWND owner, std::function<void(const std::string&)> find);
    ~FindBox();

    // Null once the window is gone (with its owner).
    HWND handle() const { return window_; }

    // Shows the box, or brings it to the front, with its words selected for typing over.
    void present();
    void hide();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void layOut();
    void updateFindButton();

    HINSTANCE instance_;
    HWND owner_;
    std::function<void(const std::string&)> find_;
    HWND window_ = nullptr;
    HWND words_ = nullptr;
    HWND findButton_ = nullptr;
    // Every control with its place in the find form.
    std::vector<std::pair<const forms::Control*, HWND>> placed_;
    // The control that had the focus when the box was last deactivated.
    HWND lastFocus_ = nullptr;
    dpi::WindowScale scale_;
    bool shownBefore_ = false;
};

} // namespace velmora::win32
