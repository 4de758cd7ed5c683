#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// What becomes of text pasted or dropped into one of a row of entry boxes. A text that holds
// several codes ("L98 G80 WS6", a column copied from a table, a line from a web page) is spread
// over the box and the ones after it; a text of one code goes into the box as if typed,
// replacing what is selected there. A box takes a whole code or nothing: what would not fit is
// left out whole and named, never cut into another code.
namespace velmora::paste {

// The box the text is pasted into, and its selection there: byte offsets into the box's UTF-8
// text. With nothing selected both are the cursor.
struct Target {
    std::size_t box = 0;
    std::size_t selectionStart = 0;
    std::size_t selectionEnd = 0;
};

// The boxes after the paste.
struct Result {
    std::vector<std::string> texts; // every box's text
    std::size_t focus = 0;          // the box that takes the focus
    std::size_t selectionStart = 0; // its selection, byte offsets into its text; equal: the
    std::size_t selectionEnd = 0;   // cursor
    std::string note;               // what the user should be told; empty: nothing
};

// Applies UTF-8 text pasted into `target` to the boxes' `texts`, codes split as text::splitCodes
// splits them; each box holds at most kCodeLength characters. A paste that brings no character
// leaves every box as it was.
Result apply(std::vector<std::string> texts, Target target, std::string_view pasted);

} // namespace velmora::paste
