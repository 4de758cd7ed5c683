#pragma once

#include <string>
#include <windows.h>

struct IAccPropServices;

namespace velmora::win32 {

// Gives controls the names a screen reader speaks ("RPO code 1", ...), where their own text is
// not a name: an entry box's text is what the user typed. Without the system's accessibility
// service the controls simply keep their default names.
class ScreenReaderNames {
public:
    ScreenReaderNames();
    ScreenReaderNames(const ScreenReaderNames&) = delete;
    ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;
    ScreenReaderNames(ScreenReaderNames&&) = delete;
    ScreenReaderNames& operator=(ScreenReaderNames&&) = delete;
    ~ScreenReaderNames();

    void name(HWND control, const std::wstring& name);

private:
    bool comStarted_ = false;
    IAccPropServices* services_ = nullptr;
};

} // namespace velmora::win32
