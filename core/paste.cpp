#include "core/paste.hpp"

#include "core/entry_limits.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <utility>

namespace velmora::paste {
namespace {

// The first `count` characters of UTF-8 text; a character is never cut in half.
std::string_view firstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t taken = 0; taken < count && at < utf8.size(); ++taken) {
        at += text::firstCharacter(utf8.substr(at)).length;
    }
    return utf8.substr(0, at);
}

// An offset into UTF-8 text moved back to the start of the character it falls in.
std::size_t characterStart(std::string_view utf8, std::size_t offset) {
    offset = std::min(offset, utf8.size());
    while (offset > 0 && offset < utf8.size() &&
           (static_cast<unsigned char>(utf8[offset]) & 0xC0U) == 0x80U) {
        --offset;
    }
    return offset;
}

// A short note naming the codes that found no box, e.g. "No box left for G80 and WS6."; long
// lists end with the number of codes not named.
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

// One code into the box at its selection, as typed text goes in: what does not fit is dropped.
void typeInto(Result& result, std::string_view code) {
    std::string& box = result.texts[result.focus];
    const std::string_view selected = std::string_view(box).substr(
        result.selectionStart, result.selectionEnd - result.selectionStart);
    const std::size_t kept = text::characterCount(box) - text::characterCount(selected);
    const std::string_view fitting =
        firstCharacters(code, kCodeLength > kept ? kCodeLength - kept : 0);
    if (fitting.empty()) {
        return;
    }
    box.replace(result.selectionStart, selected.size(), fitting);
    result.selectionStart += fitting.size();
    result.selectionEnd = result.selectionStart;
}

} // namespace

Result apply(std::vector<std::string> texts, Target target, std::string_view pasted) {
    Result result{std::move(texts), target.box, 0, 0, {}};
    if (target.box >= result.texts.size()) {
        return result;
    }
    const std::string& box = result.texts[target.box];
    result.selectionStart =
        characterStart(box, std::min(target.selectionStart, target.selectionEnd));
    result.selectionEnd = characterStart(box, std::max(target.selectionStart, target.selectionEnd));

    std::vector<std::string> codes = text::splitCodes(pasted);
    if (!text::holdsCodeSeparator(pasted)) {
        typeInto(result, codes.empty() ? std::string_view() : codes.front());
        return result;
    }
    if (codes.empty()) {
        return result;
    }
    const std::size_t room = result.texts.size() - target.box;
    const std::size_t filled = std::min(codes.size(), room);
    for (std::size_t i = 0; i < filled; ++i) {
        result.texts[target.box + i] = firstCharacters(codes[i], kCodeLength);
    }
    result.focus = target.box + filled - 1;
    result.selectionStart = result.selectionEnd = result.texts[result.focus].size();
    if (codes.size() > filled) {
        codes.erase(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(filled));
        result.note = leftOverNote(codes);
    }
    return result;
}

} // namespace velmora::paste
