#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// All text inside the program is UTF-8; these functions are where other bytes become UTF-8.
namespace velmora::text {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Reads the bytes as Windows-1252, the code page of old tables, as UTF-8; its five undefined
// bytes become the C1 control of the same number, as Windows maps them. In place: the bytes of
// `text` from `from` on, so that a long field is never held twice.
std::string windows1252ToUtf8(std::string_view bytes);
void windows1252ToUtf8InPlace(std::string& text, std::size_t from);

// UTF-8 text as it is; anything else read as Windows-1252.
std::string toUtf8(std::string_view bytes);

// The length of `bytes` without the UTF-8 sequence that a cut at a byte count may have left
// unfinished at its end.
std::size_t lengthWithoutCutSequence(std::string_view bytes);

// Turns UTF-16 bytes into UTF-8, appended to `out`, as they arrive in pieces of any size. A
// surrogate without its partner, and an odd byte at the very end, become U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
    void feed(std::string_view bytes, std::string& out);
    // Ends the input: whatever is still waiting for its other half becomes U+FFFD.
    void finish(std::string& out);

private:
    void takeUnit(char16_t unit, std::string& out);

    bool bigEndian_;
    bool haveByte_ = false;
    unsigned char firstByte_ = 0;
    char16_t highSurrogate_ = 0;
};

// Upper case as the entry boxes apply it: a to z, and every small letter of Latin-1 and Latin
// Extended-A that has a capital partner; every other character stays as it is.
std::string toUpper(std::string_view utf8);

// A character at the start of UTF-8 bytes: its code point and its length in bytes. A byte that
// starts no well-formed sequence is kNotUtf8, one byte long, as it counts in characterCount.
inline constexpr char32_t kNotUtf8 = 0xFFFFFFFF;
struct Character {
    char32_t codePoint;
    std::size_t length;
};
// `utf8` must not be empty.
Character firstCharacter(std::string_view utf8);

// Number of characters (code points) in UTF-8 text.
std::size_t characterCount(std::string_view utf8);

// True for every blank of Unicode: the space, tab, line breaks, the no-break space and the
// other spaces (em space, ideographic space and their kind), and the zero-width ones.
bool isBlank(char32_t c);

// Number of characters as a reader sees them: a letter followed by combining marks (U+0301
// after an E shows as one letter, an E with an acute accent) counts once.
std::size_t letterCount(std::string_view utf8);

// True when UTF-8 text holds anything that separates codes: a blank, a comma or a semicolon, as
// in a label or a list copied from elsewhere ("L98, G80;WS6").
bool holdsCodeSeparator(std::string_view utf8);

// The codes in UTF-8 text, in order, split at those separators; control characters, byte-order
// marks and bytes that are not UTF-8 are left out.
std::vector<std::string> splitCodes(std::string_view utf8);

// The words of UTF-8 text: the pieces between blanks, empty pieces dropped.
std::vector<std::string> splitWords(std::string_view utf8);

} // namespace velmora::text
