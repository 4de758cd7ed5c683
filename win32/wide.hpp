#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// The core speaks UTF-8, the Win32 API UTF-16: every text crosses here.
namespace velmora::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

// The text of a window or control.
std::wstring windowText(HWND window);

// True when the window is of the window class `name` (compared without case, as the system does).
bool isOfClass(HWND window, std::wstring_view name);

} // namespace velmora::win32
