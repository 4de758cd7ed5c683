#pragma once

#include <string>
#include <string_view>

// The core speaks UTF-8, the Win32 API UTF-16: every text crosses here.
namespace velmora::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);

} // namespace velmora::win32
