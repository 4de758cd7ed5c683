#pragma once

#include <QString>
#include <string_view>

namespace velmora::ui {

// A text of the program's tables (UTF-8) as Qt text.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace velmora::ui
