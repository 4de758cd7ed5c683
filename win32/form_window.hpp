#pragma once

#include "core/command_ids.hpp"
#include "forms/form.hpp"
#include "win32/dpi.hpp"

#include <map>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace velmora::win32 {

// What a window asks of the program around it.
class FormHost {
public:
    FormHost() = default;
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;
    FormHost(FormHost&&) = delete;
    FormHost& operator=(FormHost&&) = delete;
    virtual ~FormHost() = default;

    virtual void runCommand(CommandId command) = 0;
    virtual void endProgram() = 0;
    // The window's handle is gone (closed with its title bar, or at the program's end).
    virtual void destroyed(WindowId window) = 0;
    // Gives a control the name a screen reader speaks.
    virtual void nameForScreenReaders(HWND control, const std::wstring& name) = 0;
    // Runs one of the lookup window's tools: shows its box beside the window that has the
    // display box, or runs it at once when it has none.
    virtual void openTool(ToolId tool) = 0;
};

// One top-level window built from its form, at the window's DPI: frame, menus, controls in tab
// order, colours, lines, and what closing does. A click runs the control's command through the
// host.
class FormWindow {
public:
    static constexpr const wchar_t* kClassName = L"VelmoraForm";
    static void registerClass(HINSTANCE instance);

    FormWindow(const forms::Form& form, FormHost& host, HINSTANCE instance);
    ~FormWindow();

    HWND handle() const { return window_; }
    HACCEL accelerators() const { return accelerators_; }
    // The control of that kind (and array index), or null.
    HWND controlOfKind(forms::ControlKind kind, int index = forms::kNoIndex) const;

    // Makes the window visible and active; the first time, with the form's first focus.
    void show();

private:
    struct Placed {
        const forms::Control* control;
        HWND window;
        HFONT ownFont; // a smaller font where the label's text would not fit, or null
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void build();
    void release();
    void createMenus();
    void createControls();
    HWND createControl(const forms::Control& control, int id);
    void layOut();
    void sizeFrame();
    void fitLabel(Placed& label);
    HBRUSH brush(forms::Colour value);
    COLORREF colour(forms::Colour value) const;
    const Placed* placedFor(HWND child) const;
    void onCommand(WPARAM wParam, LPARAM lParam);
    void onPaste(HWND box, const std::wstring& pasted);
    void showPasteNote(const std::wstring& note);
    LRESULT onControlColour(HDC dc, HWND control);

    const forms::Form& form_;
    FormHost& host_;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    dpi::WindowScale scale_;
    forms::HeightFit fit_;
    HACCEL accelerators_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    std::vector<Placed> controls_;
    std::map<forms::Colour, HBRUSH> brushes_;
    HWND pasteNote_ = nullptr; // the line naming what a paste left out, where the form has one
    // The control that had the focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;
    bool shownBefore_ = false;
};

} // namespace velmora::win32
