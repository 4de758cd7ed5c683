// velmora.exe: the desktop program on Windows. It shows the start window and waits for the user.

#include "win32/application.hpp"
#include "win32/owned_window.hpp"
#include "win32/wide.hpp"

#include <exception>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int /*show*/) {
    try {
        velmora::win32::Application application(instance);
        return application.run();
    } catch (const std::exception& failure) {
        MessageBoxW(nullptr, velmora::win32::toWide(failure.what()).c_str(),
                    velmora::win32::kMessageTitle, MB_OK | MB_ICONERROR);
        return 1;
    }
}
