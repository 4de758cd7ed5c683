#include "win32/wide.hpp"

#include <algorithm>
#include <array>

namespace velmora::win32 {
namespace {

// The conversion functions take int lengths; longer texts go in pieces that end on a whole
// character.
constexpr std::size_t kPiece = std::size_t{1} << 28;

bool isContinuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U;
}

} // namespace

std::wstring toWide(std::string_view utf8) {
    std::wstring wide;
    while (!utf8.empty()) {
        std::size_t take = std::min(utf8.size(), kPiece);
        while (take < utf8.size() && take > 0 && isContinuation(utf8[take])) {
            --take;
        }
        const int length = static_cast<int>(take);
        const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
        const std::size_t start = wide.size();
        wide.resize(start + static_cast<std::size_t>(needed));
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data() + start, needed);
        utf8.remove_prefix(take);
    }
    return wide;
}

std::string toUtf8(std::wstring_view wide) {
    std::string utf8;
    while (!wide.empty()) {
        std::size_t take = std::min(wide.size(), kPiece);
        if (take < wide.size() && IS_HIGH_SURROGATE(wide[take - 1])) {
            --take;
        }
        const int length = static_cast<int>(take);
        const int needed =
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
        const std::size_t start = utf8.size();
        utf8.resize(start + static_cast<std::size_t>(needed));
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data() + start, needed, nullptr,
                            nullptr);
        wide.remove_prefix(take);
    }
    return utf8;
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isOfClass(HWND window, std::wstring_view name) {
    // Class names are at most 256 characters long.
    std::array<wchar_t, 257> buffer{};
    if (window == nullptr) {
        return false;
    }
    const int length = GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
    return length > 0 && CompareStringOrdinal(buffer.data(), length, name.data(),
                                              static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

} // namespace velmora::win32
