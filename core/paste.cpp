#include "core/paste.hpp"

#include "core/entry_limits.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <utility>

namespace velmora::paste {
namespace {

// Blanks, line breaks and the list marks people put between codes.
bool separates(char32_t c) {
    switch (c) {
    case U' ':
    case U'\t':
    case U'\n':
    case U'\v':
    case U'\f':
    case U'\r':
    case U',':
    case U';':
    case 0x0085: // next line
    case 0x00A0: // no-break space, as web pages copy
    case 0x1680:
    case 0x180E:
    case 0x200B: // zero-width space
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
    case 0x202F: // narrow no-break space
    case 0x205F:
    case 0x3000: // ideographic space
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A; // the typographic spaces
    }
}

// Characters that never enter a box: control characters, byte-order marks and word joiners.
bool isDropped(char32_t c) {
    return c == text::kNotUtf8 || c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xFEFF ||
           c == 0x2060;
}

} // namespace

Spread spreadPaste(std::string_view pasted, int firstBox, int boxCount) {
    Spread result;
    std::string code;
    const int freeBoxes = std::max(0, boxCount - firstBox);
    const auto finishCode = [&] {
        if (code.empty()) {
            return;
        }
        if (std::cmp_less(result.codes.size(), freeBoxes)) {
            result.codes.push_back(cutToCharacters(code, kCodeLength));
        } else {
            result.leftOver.push_back(code);
        }
        code.clear();
    };
    std::size_t at = 0;
    while (at < pasted.size()) {
        const text::Character next = text::firstCharacter(pasted.substr(at));
        if (separates(next.codePoint)) {
            result.spreads = true;
            finishCode();
        } else if (!isDropped(next.codePoint)) {
            code.append(pasted.substr(at, next.length));
        }
        at += next.length;
    }
    if (!result.spreads) {
        result.text = std::move(code);
        return result;
    }
    finishCode();
    return result;
}

std::string cutToCharacters(std::string_view utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < count && at < utf8.size(); ++taken) {
        at += text::firstCharacter(utf8.substr(at)).length;
    }
    return std::string(utf8.substr(0, at));
}

std::string leftOverNote(const std::vector<std::string>& leftOver) {
    constexpr std::size_t kNamed = 8;
    std::string note = "No box left for ";
    const std::size_t named = std::min(leftOver.size(), kNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) {
            note += i + 1 == named && named == leftOver.size() ? " and " : ", ";
        }
        note += leftOver[i];
    }
    if (leftOver.size() > named) {
        note += " and " + std::to_string(leftOver.size() - named) + " more";
    }
    return note + ".";
}

} // namespace velmora::paste
