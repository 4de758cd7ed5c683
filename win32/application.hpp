#pragma once

#include "core/commands.hpp"
#include "forms/forms.hpp"
#include "win32/form_window.hpp"
#include "win32/screen_reader.hpp"
#include "win32/tool_box.hpp"

#include <array>
#include <filesystem>
#include <memory>
#include <vector>
#include <windows.h>

namespace velmora::win32 {

// The program on the Win32 API: the three windows as single instances made on first use, the
// command table's port over them, and the message loop with its keyboard rules.
class Application final : public WindowPort, public FormHost {
public:
    explicit Application(HINSTANCE instance);
    ~Application() override;

    // Shows the start window and runs until the program ends; returns the exit status.
    int run();

    // WindowPort
    void show(WindowId window) override;
    void hide(WindowId window) override;
    void endProgram() override;
    EntrySlots& lookupSlots() override;
    std::filesystem::path tablePath() override;
    void setBusy(bool busy) override;
    void reportTableError(const TableError& error) override;
    void reportOutOfMemory() override;

    // FormHost
    void runCommand(CommandId command) override;
    void destroyed(WindowId window) override;
    void nameForScreenReaders(HWND control, const std::wstring& name) override;
    void openTool(ToolId tool) override;

private:
    class LookupSlots;

    FormWindow& instance(WindowId window);
    std::unique_ptr<FormWindow>& slot(WindowId window) {
        return windows_[static_cast<std::size_t>(window)];
    }
    bool handleEnter(const MSG& message);
    bool translate(MSG& message);
    void tell(const std::wstring& message, const std::wstring& advice);
    ToolBox* toolBoxOf(HWND window);

    HINSTANCE instance_;
    // Before the windows, so that it is still there while they go.
    ScreenReaderNames screenReaderNames_;
    std::array<std::unique_ptr<FormWindow>, 3> windows_;
    // Windows closed while their own message was handled; freed once it has returned.
    std::vector<std::unique_ptr<FormWindow>> retired_;
    std::unique_ptr<LookupSlots> lookupSlots_;
    // By tool id, made on first use, owned by the lookup window; each keeps its text while hidden.
    std::array<std::unique_ptr<ToolBox>, forms::kLookupTools.size()> toolBoxes_;
    HCURSOR cursorBeforeBusy_ = nullptr;
    // The button Enter went down on; it is clicked when Enter comes up on it.
    HWND enterButton_ = nullptr;
    bool ending_ = false;
};

} // namespace velmora::win32
