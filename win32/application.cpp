#include "win32/application.hpp"

#include "core/code_table.hpp"
#include "core/table_file.hpp"
#include "forms/forms.hpp"
#include "win32/display_box.hpp"
#include "win32/entry_box.hpp"
#include "win32/owned_window.hpp"
#include "win32/picture_box.hpp"
#include "win32/wide.hpp"

#include <algorithm>
#include <commctrl.h>
#include <iterator>

namespace velmora::win32 {

// The lookup window's entry boxes and display box as the search sees them.
class Application::LookupSlots final : public EntrySlots {
public:
    explicit LookupSlots(FormWindow& window)
        : window_(window),
          display_(*DisplayBox::from(window.controlOfKind(forms::ControlKind::DisplayBox))) {}

    std::string entry(int slot) const override {
        return toUtf8(windowText(window_.controlOfKind(forms::ControlKind::TextBox, slot)));
    }
    void setEntry(int slot, const std::string& text) override {
        SetWindowTextW(window_.controlOfKind(forms::ControlKind::TextBox, slot),
                       toWide(text).c_str());
    }
    void clearDisplay() override { display_.clear(); }
    void printLine(std::string_view line) override { display_.printLine(line); }

private:
    FormWindow& window_;
    DisplayBox& display_;
};

Application::Application(HINSTANCE instance) : instance_(instance) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    FormWindow::registerClass(instance_);
    DisplayBox::registerClass(instance_);
    PictureBox::registerClass(instance_);
    ToolBox::registerClass(instance_);
}

// The members go after this, last declared first: the tool boxes, the slots, then the windows.
Application::~Application() = default;

int Application::run() {
    show(WindowId::start);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!translate(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        retired_.clear();
    }
    return static_cast<int>(message.wParam);
}

// The keyboard rules of the windows, before a message reaches its control: Enter on a button,
// the menu shortcuts, and Tab, Shift+Tab and the arrows between the controls.
bool Application::translate(MSG& message) {
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    // A tool box keeps the dialog keys: Tab between its controls, Enter runs, Escape closes.
    if (root != nullptr && toolBoxOf(root) != nullptr) {
        return IsDialogMessageW(root, &message) != FALSE;
    }
    // NOLINTNEXTLINE(readability-qualified-auto): an iterator, a pointer only in some libraries
    const auto found = std::ranges::find_if(
        windows_, [root](const auto& each) { return each && each->handle() == root; });
    if (found == windows_.end()) {
        return false;
    }
    FormWindow* window = found->get();
    if (handleEnter(message)) {
        return true;
    }
    if (window->accelerators() != nullptr &&
        TranslateAcceleratorW(root, window->accelerators(), &message) != 0) {
        return true;
    }
    // Alt and the menus' letters belong to the menu bar.
    if (message.message == WM_SYSKEYDOWN || message.message == WM_SYSKEYUP ||
        message.message == WM_SYSCHAR) {
        return false;
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

// Enter presses the focused button as Space does: down on the press, clicked on the release, and
// only when both happen on the same button. So a held Enter on "Look up RPO Codes" ends with the
// start window gone and nothing more: its repeats and its release reach the lookup window's
// "Search " without pressing it. Anywhere else Enter does nothing: no button is a default one.
bool Application::handleEnter(const MSG& message) {
    if (message.wParam != VK_RETURN ||
        (message.message != WM_KEYDOWN && message.message != WM_KEYUP &&
         message.message != WM_CHAR)) {
        return false;
    }
    HWND focus = GetFocus();
    if (message.message == WM_KEYDOWN) {
        const bool repeat = (message.lParam & (LPARAM{1} << 30)) != 0;
        const auto type = static_cast<DWORD>(GetWindowLongPtrW(focus, GWL_STYLE)) & BS_TYPEMASK;
        if (!repeat && isOfClass(focus, L"Button") &&
            (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)) {
            enterButton_ = focus;
            SendMessageW(focus, BM_SETSTATE, TRUE, 0);
        }
    } else if (message.message == WM_KEYUP && enterButton_ != nullptr) {
        HWND pressed = enterButton_;
        enterButton_ = nullptr;
        if (IsWindow(pressed) != FALSE) {
            SendMessageW(pressed, BM_SETSTATE, FALSE, 0);
            if (pressed == focus && IsWindowVisible(pressed) != FALSE) {
                SendMessageW(GetParent(pressed), WM_COMMAND,
                             MAKEWPARAM(GetDlgCtrlID(pressed), BN_CLICKED),
                             reinterpret_cast<LPARAM>(pressed));
            }
        }
    }
    return true;
}

FormWindow& Application::instance(WindowId window) {
    auto& made = slot(window);
    if (!made) {
        made = std::make_unique<FormWindow>(forms::form(window), *this, instance_);
    }
    return *made;
}

void Application::show(WindowId window) {
    FormWindow& shown = instance(window);
    if (window == WindowId::help) {
        // Beside the window the user reads, so that the help covers none of it: Help brings it
        // there each time, also beside a lookup window opened since.
        const auto& lookup = slot(WindowId::lookup);
        const bool lookupShown = lookup && IsWindowVisible(lookup->handle()) != FALSE;
        placeBeside(shown.handle(), (lookupShown ? *lookup : instance(WindowId::start)).handle());
    }
    shown.show();
}

// Hiding the active window hands the activation on to a visible window of the program, so
// that the keyboard goes on working where the user looks next.
void Application::hide(WindowId window) {
    FormWindow& hidden = instance(window);
    const bool wasActive = GetActiveWindow() == hidden.handle();
    // The tool boxes belong to the lookup window and go with it.
    if (window == WindowId::lookup) {
        for (const auto& box : toolBoxes_) {
            if (box) {
                box->hide();
            }
        }
    }
    ShowWindow(hidden.handle(), SW_HIDE);
    if (!wasActive) {
        return;
    }
    for (const WindowId next : {WindowId::lookup, WindowId::start, WindowId::help}) {
        const auto& other = slot(next);
        if (other && other.get() != &hidden && IsWindowVisible(other->handle()) != FALSE) {
            SetForegroundWindow(other->handle());
            SetActiveWindow(other->handle());
            return;
        }
    }
}

void Application::endProgram() {
    if (ending_) {
        return;
    }
    ending_ = true;
    for (const auto& box : toolBoxes_) {
        if (box && box->handle() != nullptr) {
            ShowWindow(box->handle(), SW_HIDE);
        }
    }
    lookupSlots_.reset();
    for (auto& window : windows_) {
        if (window) {
            ShowWindow(window->handle(), SW_HIDE);
        }
    }
    std::move(windows_.begin(), windows_.end(), std::back_inserter(retired_));
    PostQuitMessage(0);
}

EntrySlots& Application::lookupSlots() {
    if (!lookupSlots_) {
        lookupSlots_ = std::make_unique<LookupSlots>(instance(WindowId::lookup));
    }
    return *lookupSlots_;
}

std::filesystem::path Application::tablePath() {
    return locateTable();
}

void Application::setBusy(bool busy) {
    if (busy) {
        cursorBeforeBusy_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    } else {
        SetCursor(cursorBeforeBusy_ != nullptr ? cursorBeforeBusy_
                                               : LoadCursorW(nullptr, IDC_ARROW));
        cursorBeforeBusy_ = nullptr;
    }
}

void Application::reportTableError(const TableError& error) {
    tell(toWide(error.describe()), toWide(error.advice()));
}

void Application::reportOutOfMemory() {
    tell(toWide(kOutOfMemoryMessage), toWide(kOutOfMemoryAdvice));
}

void Application::tell(const std::wstring& message, const std::wstring& advice) {
    HWND owner = slot(WindowId::lookup) ? slot(WindowId::lookup)->handle() : GetActiveWindow();
    // A tool run from its box is told there, so that the keyboard goes back to the box.
    if (const ToolBox* box = toolBoxOf(GetActiveWindow())) {
        owner = box->handle();
    }
    const std::wstring text = advice.empty() ? message : message + L"\n\n" + advice;
    MessageBoxW(owner, text.c_str(), kMessageTitle, MB_OK | MB_ICONERROR);
}

void Application::runCommand(CommandId command) {
    velmora::run(command, *this);
}

void Application::destroyed(WindowId window) {
    if (window == WindowId::lookup) {
        // The tool boxes went with the window that owned them.
        std::ranges::for_each(toolBoxes_, [](auto& box) { box.reset(); });
        lookupSlots_.reset();
    }
    if (slot(window)) {
        retired_.push_back(std::move(slot(window)));
    }
}

// A tool prints into the lookup window's display box as a search does, from the table a search
// reads.
void Application::openTool(ToolId tool) {
    const auto index = static_cast<std::size_t>(tool);
    const forms::ToolForm* form = forms::kLookupTools.at(index).form;
    if (form == nullptr) {
        runTool(tool, *this);
        return;
    }
    auto& box = toolBoxes_.at(index);
    if (!box || box->handle() == nullptr) {
        box =
            std::make_unique<ToolBox>(instance_, instance(WindowId::lookup).handle(), *form, *this);
    }
    box->present();
}

ToolBox* Application::toolBoxOf(HWND window) {
    // NOLINTNEXTLINE(readability-qualified-auto): an iterator, a pointer only in some libraries
    const auto found = std::ranges::find_if(toolBoxes_, [window](const auto& box) {
        return box && window != nullptr && box->handle() == window;
    });
    return found != toolBoxes_.end() ? found->get() : nullptr;
}

void Application::nameForScreenReaders(HWND control, const std::wstring& name) {
    screenReaderNames_.name(control, name);
}

} // namespace velmora::win32
