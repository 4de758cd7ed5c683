#pragma once

#include "core/commands.hpp"
#include "forms/form.hpp"
#include "win32/dpi.hpp"

#include <utility>
#include <vector>
#include <windows.h>

namespace velmora::win32 {

// A small modeless box in which the user types what one of the lookup window's tools runs on
// (the words to find, the codes of a label): a tool window owned by the lookup window, with a
// prompt, the text, a button that runs the tool and "Close", all from its form. The tool prints
// into the lookup window's display box. Close (or Escape) hides the box, so that its text is
// still there when it is opened again.
class ToolBox {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraToolBox";
    static void registerClass(HINSTANCE instance);

    ToolBox(HINSTANCE instance, HWND owner, const forms::ToolForm& form, WindowPort& port);
    ~ToolBox();

    // Null once the window is gone (with its owner).
    HWND handle() const { return window_; }

    // Shows the box, or brings it to the front, with its text selected for typing over.
    void present();
    void hide();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void layOut();
    void updateRunButton();

    HINSTANCE instance_;
    HWND owner_;
    const forms::ToolForm& form_;
    WindowPort& port_;
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HWND runButton_ = nullptr;
    // Every control with its place in the form.
    std::vector<std::pair<const forms::Control*, HWND>> placed_;
    // The control that had the focus when the box was last deactivated.
    HWND lastFocus_ = nullptr;
    dpi::WindowScale scale_;
    bool shownBefore_ = false;
};

} // namespace velmora::win32
