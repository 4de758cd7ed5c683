#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What becomes of text pasted or dropped into an entry box. A text that holds several codes
// ("L98 G80 WS6", a column copied from a table, a line from a web page) is spread over the box
// and the ones after it; a text of one code goes into the box as if typed.
namespace velmora::paste {

struct Spread {
    // False: the text is one code (`text`) and goes into the box at its cursor, as typed text
    // does. True: `codes` go into the box and the ones after it, one each.
    bool spreads = false;
    std::string text;
    std::vector<std::string> codes;    // each cut to a code's length (kCodeLength characters)
    std::vector<std::string> leftOver; // whole codes for which no box remained
};

// Reads pasted UTF-8 text for entry box `firstBox` of `boxCount`. Codes are separated by any
// blank (the no-break space and the other Unicode spaces included), tab, line break, comma or
// semicolon. Control characters and bytes that are not UTF-8 are dropped: they never enter a box.
Spread spreadPaste(std::string_view pasted, int firstBox, int boxCount);

// The first `count` characters of UTF-8 text; a character is never cut in half.
std::string cutToCharacters(std::string_view utf8, std::size_t count);

// A short note naming the codes that found no box, e.g. "No box left for G80, WS6."; long lists
// end with the number of codes not named.
std::string leftOverNote(const std::vector<std::string>& leftOver);

} // namespace velmora::paste
