#include "win32/note.hpp"

#include "win32/dpi.hpp"

#include <commctrl.h>

namespace velmora::win32 {
namespace {

constexpr UINT_PTR kTimer = 0x4E4F; // "NO"
constexpr UINT kShownFor = 8000;    // milliseconds
constexpr int kWidest = 4800;       // twips: 320 pixels at 96 DPI
constexpr UINT_PTR kToolId = 1;

TOOLINFOW toolFor(HWND owner, std::wstring& text) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner;
    tool.uId = kToolId;
    tool.lpszText = text.data();
    return tool;
}

} // namespace

Note::Note(HWND owner) : owner_(owner) {}

Note::~Note() {
    if (tip_ != nullptr) {
        KillTimer(owner_, kTimer);
        DestroyWindow(tip_);
    }
}

void Note::show(HWND anchor, const std::wstring& title, const std::wstring& text) {
    text_ = text;
    if (tip_ == nullptr) {
        tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | TTS_BALLOON, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                               nullptr, nullptr);
        if (tip_ == nullptr) {
            MessageBeep(MB_ICONINFORMATION);
            return;
        }
        TOOLINFOW tool = toolFor(owner_, text_);
        SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    TOOLINFOW tool = toolFor(owner_, text_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, dpi::toPixels(kWidest, dpi::of(anchor)));
    // The window's own text too, so that a screen reader or a test can read the note.
    SetWindowTextW(tip_, text_.c_str());
    RECT box{};
    GetWindowRect(anchor, &box);
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM((box.left + box.right) / 2, box.bottom));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    shown_ = true;
    SetTimer(owner_, kTimer, kShownFor, nullptr);
}

void Note::hide() {
    if (!shown_) {
        return;
    }
    shown_ = false;
    KillTimer(owner_, kTimer);
    TOOLINFOW tool = toolFor(owner_, text_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

bool Note::onTimer(WPARAM timer) {
    if (timer != kTimer) {
        return false;
    }
    hide();
    return true;
}

} // namespace velmora::win32
