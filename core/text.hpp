#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Text helpers shared by the code table reader, the search and both programs. All text inside
// the program is UTF-8; these functions are where other bytes become UTF-8.
namespace velmora::text {

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Reads the bytes as Windows-1252, the code page of old tables, and returns them as UTF-8. The
// five bytes that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1
// control of the same number, as Windows itself maps them.
std::string windows1252ToUtf8(std::string_view bytes);

// UTF-8 text as it is; anything else read as Windows-1252.
std::string toUtf8(std::string_view bytes);

// Upper case as the entry boxes apply it: a to z, and the Latin-1 letters with an upper-case
// partner in the same block (a grave to thorn, except the division sign). Every other character
// stays as it is, so the result has the same length in characters.
std::string toUpper(std::string_view utf8);

// Number of characters (code points) in UTF-8 text; a byte that starts no valid sequence counts
// as one character.
std::size_t characterCount(std::string_view utf8);

} // namespace velmora::text
