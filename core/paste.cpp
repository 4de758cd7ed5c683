#include "core/paste.hpp"

#include "core/entry_limits.hpp"
#include "core/text.hpp"

#include <algorithm>
#include <utility>

namespace velmora::paste {
namespace {

// An offset into UTF-8 text moved back to the start of the character it falls in.
std::size_t characterStart(std::string_view utf8, std::size_t offset) {
    offset = std::min(offset, utf8.size());
    while (offset > 0 && offset < utf8.size() &&
           (static_cast<unsigned char>(utf8[offset]) & 0xC0U) == 0x80U) {
        --offset;
    }
    return offset;
}

// Names the codes in a short list, e.g. "G80 and WS6"; long lists end with the number of codes
// not named.
std::string nameAll(const std::vector<std::string>& codes) {
    constexpr std::size_t kNamed = 8;
    std::string names;
    const std::size_t named = std::min(codes.size(), kNamed);
    for (std::size_t i = 0; i < named; ++i) {
        if (i > 0) {
            names += i + 1 == named && named == codes.size() ? " and " : ", ";
        }
        names += codes[i];
    }
    if (codes.size() > named) {
        names += " and " + std::to_string(codes.size() - named) + " more";
    }
    return names;
}

// The note on what was left out: words too long for a box (a box takes a whole code or nothing,
// so a word is never cut into another code), then codes for which no box remained.
std::string leftOutNote(const std::vector<std::string>& tooLong,
                        const std::vector<std::string>& noBox) {
    std::string note;
    if (!tooLong.empty()) {
        note = nameAll(tooLong) + (tooLong.size() == 1 ? " is" : " are") + " longer than " +
               std::to_string(kCodeLength) + " characters.";
    }
    if (!noBox.empty()) {
        note += note.empty() ? "No box left for " : " No box left for ";
        note += nameAll(noBox) + ".";
    }
    return note;
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
    // One word goes in at the selection as typed text does, if the box can take the result.
    if (!text::holdsCodeSeparator(pasted)) {
        if (codes.empty()) {
            return result;
        }
        std::string typed = result.texts[target.box];
        typed.replace(result.selectionStart, result.selectionEnd - result.selectionStart,
                      codes.front());
        if (text::characterCount(typed) > kCodeLength) {
            result.note = leftOutNote({typed}, {});
            return result;
        }
        result.texts[target.box] = std::move(typed);
        result.selectionStart = result.selectionEnd = result.selectionStart + codes.front().size();
        return result;
    }
    // The codes that fit a box come first, in their order; the words too long for one after.
    const auto tooLong = std::stable_partition(codes.begin(), codes.end(), [](const auto& code) {
        return text::characterCount(code) <= kCodeLength;
    });
    const auto filled = std::min(tooLong - codes.begin(),
                                 static_cast<std::ptrdiff_t>(result.texts.size() - target.box));
    std::copy(codes.begin(), codes.begin() + filled,
              result.texts.begin() + static_cast<std::ptrdiff_t>(target.box));
    if (filled > 0) {
        result.focus = target.box + static_cast<std::size_t>(filled) - 1;
        result.selectionStart = result.selectionEnd = result.texts[result.focus].size();
    }
    result.note = leftOutNote({tooLong, codes.end()}, {codes.begin() + filled, tooLong});
    return result;
}

} // namespace velmora::paste
